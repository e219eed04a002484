#include "host/Host.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>

#include <QIcon>

#include "access/OpenNode.h"
#include "framework/ScriptedDesktop.h"
#include "host/ClientSite.h"
#include "host/NodeChoice.h"
#include "host/Plugin.h"
#include "host/StartWindow.h"
#include "platform/Dialog.h"
#include "platform/PropertySheet.h"
#include "platform/QtDesktop.h"
#include "res/NodeInfoDialog.h"
#include "sim/NodeStateFile.h"
#include "sim/Plant.h"
#include "sim/SimNode.h"
#include "site/Site.h"

namespace host {
namespace {

// The offscreen platform says for every window that it cannot pass size hints on; that is
// no news to anybody reading the output of a headless run.
QtMessageHandler g_standardHandler = nullptr;

void QuietOffscreenMessages(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
    if (message.contains(QStringLiteral("propagateSizeHints"))) {
        return;
    }
    if (g_standardHandler != nullptr) {
        g_standardHandler(type, context, message);
    }
}

void InstallQuietHandler() {
    g_standardHandler = qInstallMessageHandler(QuietOffscreenMessages);
}

// Qt hands the desktop's locale to the C library when the application starts. The node's
// numbers are written and read with a decimal point whatever the desktop's language, so the
// C library's numbers go back to the C locale; Qt's own locale serves everything else.
class HostApplication : public QApplication {
public:
    HostApplication(int& argc, char** argv) : QApplication(argc, argv) {
        std::setlocale(LC_NUMERIC, "C");
    }
};

// Finds the plug-in for the Program ID and runs work with its control; "" when work
// succeeded, else why not.
std::string RunPlugin(NodeAccess& node, const ProgramId& programId,
                      const std::function<bool(PluginControl&)>& work) {
    auto* site = new ClientSite(node, Offer::Both);
    std::string error;
    std::unique_ptr<PluginControl> control = PluginControl::Open(
        platform::RegistryFile(platform::RegistryFile::DefaultPath()), programId, site, error);
    if (control) {
        QApplication::setWindowIcon(QIcon(QPixmap::fromImage(control->Face(64))));
        if (!work(*control)) {
            error = "the plug-in " + control->ModulePath() + " could not run";
        }
        control.reset();
    }
    site->Release();
    return error;
}

// A wait for a node another process holds is told where the GUI was started.
void TellWhereStarted(const std::string& text) {
    std::cerr << "vireo: " << text << '\n';
}

// The properties verb on a node behind a client site; "" or why the sheet did not open.
std::string OpenSheet(NodeAccess& node, const ProgramId& programId) {
    return RunPlugin(node, programId,
                     [](PluginControl& control) { return control.Properties() == S_OK; });
}

std::string FileSafe(const std::string& caption) {
    std::string name;
    for (char c : caption) {
        const bool plain =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (plain) {
            name += c;
        } else if (!name.empty() && name.back() != '-') {
            name += '-';
        }
    }
    while (!name.empty() && name.back() == '-') {
        name.pop_back();
    }
    return name;
}

bool SaveImage(const QImage& image, const std::filesystem::path& path) {
    if (!image.save(QString::fromStdString(path.string()))) {
        std::cerr << "vireo: cannot write " << path.string() << '\n';
        return false;
    }
    return true;
}

bool SaveTabs(platform::CPropertySheet& sheet, const std::filesystem::path& dir,
              const std::string& set) {
    bool ok = true;
    for (int i = 0; i < sheet.GetPageCount(); ++i) {
        sheet.SetActivePage(i);
        QApplication::processEvents();
        char prefix[32];
        std::snprintf(prefix, sizeof prefix, "%s-%02d-", set.c_str(), i + 1);
        const auto path = dir / (prefix + FileSafe(sheet.GetPage(i)->Caption()) + ".png");
        ok = SaveImage(sheet.Window()->grab().toImage(), path) && ok;
    }
    return ok;
}

}  // namespace

// The windows' titles are their own ("Node1 - VI1", "About Vireo Control"): the application's
// display name stays the application's, which the platform would append to every title.
int WithPlugin(SimNode& node, const std::function<bool(PluginControl&)>& work) {
    return WithPlugin(node, node.GetProgramId(), work);
}

int WithPlugin(NodeAccess& node, const ProgramId& programId,
               const std::function<bool(PluginControl&)>& work) {
    bool worked = true;
    const std::string error = RunPlugin(node, programId, [&](PluginControl& control) {
        worked = work(control);
        return true;
    });
    if (!error.empty()) {
        std::cerr << "vireo: " << error << '\n';
        return 1;
    }
    return worked ? 0 : 1;
}

std::string OpenSheetOnLink(const LinkSettings& settings) {
    // As on a simulated node: the sheet holds the node for each Read, Write and file operation,
    // and a command-line run on the same node over any link of this PC waits for it.
    OpenedNode opened;
    if (std::optional<std::string> problem = OpenNode(NodeTarget::Linked(settings),
                                                      {.hold = LockHold::WhileOpening,
                                                       .waiting = {.notice = TellWhereStarted},
                                                       .checkProgramId = false},
                                                      opened)) {
        return *problem;
    }
    LonNode& node = *opened.Linked();
    const std::string error = OpenSheet(node, node.Identity().programId);
    return node.LastError().empty() ? error : node.LastError();
}

std::string OpenSheetOnSimulatedNode(const std::string& path, double speed) {
    // The sheet holds the node for each Read, Write and file operation; a command-line run on
    // the same node makes it wait, and the wait is told where the GUI was started.
    OpenedNode opened;
    if (std::optional<std::string> problem =
            OpenNode(NodeTarget::Simulated(path),
                     {.waiting = {.notice = TellWhereStarted}, .missing = MissingStateFile::Create},
                     opened)) {
        return *problem;
    }
    SimNode& node = *opened.Simulated();
    node.SetClockRuns(true);
    Plant plant(node, {.seed = kGuiPlantSeed});
    plant.Attach(node, speed);
    // Shared with any other vireo on the same node: each write is saved as it happens.
    StateFileStore store(path);
    node.store = &store;
    platform::Desktop::Current().SetNodeNote("Simulated node: " + path);
    const std::string error = OpenSheet(node, node.GetProgramId());
    return store.Error().empty() ? error : store.Error();
}

namespace {

// Runs open under the GUI's application and desktop; its error line goes where the GUI started.
int WithGuiDesktop(int& argc, char** argv, const std::function<std::string()>& open) {
    HostApplication app(argc, argv);
    QApplication::setApplicationName("Vireo");
    platform::QtDesktop desktop;
    platform::Desktop::SetCurrent(&desktop);
    const std::string error = open();
    platform::Desktop::SetCurrent(nullptr);
    if (!error.empty()) {
        std::cerr << "vireo: " << error << '\n';
        return 1;
    }
    return 0;
}

const char* const kNoDisplay =
    "vireo: no display available (DISPLAY and WAYLAND_DISPLAY are unset); use 'vireo "
    "--screenshot DIR' to save pictures of the pages offscreen, or 'vireo script FILE' to run "
    "a session script\n";

}  // namespace

bool DisplayAvailable() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform != nullptr && *platform != '\0') {
        return true;
    }
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (display != nullptr && *display != '\0') || (wayland != nullptr && *wayland != '\0');
}

int RunGui(int& argc, char** argv, const HostOptions& options) {
    if (!DisplayAvailable()) {
        std::cerr << kNoDisplay;
        return 1;
    }
    if (const std::optional<LinkSettings>& link = options.link) {
        // The sheet on a node over a LON/IP channel: the node says its Program ID, and the
        // plug-in registered for it opens.
        return WithGuiDesktop(argc, argv, [&link] {
            platform::Desktop::Current().SetNodeNote("Node " + TargetText(link->node) + " at " +
                                                     LinkUrl(*link));
            std::string error = OpenSheetOnLink(*link);
            if (error.empty()) {
                RememberNode(LinkKey(*link));
            }
            return error;
        });
    }
    const std::string path = options.nodeFile.empty() ? DefaultNodeStatePath() : options.nodeFile;
    return WithGuiDesktop(argc, argv,
                          [&] { return OpenNodeByKey(SimulatedKey(path), options.speed); });
}

int RunGuiOnSiteNode(int& argc, char** argv, const std::string& site, const std::string& node) {
    if (!DisplayAvailable()) {
        std::cerr << kNoDisplay;
        return 1;
    }
    return WithGuiDesktop(argc, argv, [&] { return OpenNodeByKey(SiteNodeKey(site, node), 1); });
}

int RunStartWindow(int& argc, char** argv, const HostOptions& options) {
    const bool screenshot = !options.screenshotDir.empty();
    if (screenshot) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        InstallQuietHandler();
    } else if (!DisplayAvailable()) {
        std::cerr << kNoDisplay;
        return 1;
    }
    if (!options.site.empty()) {
        Site site;
        if (const std::string error = LoadNamedSite(options.site, site); !error.empty()) {
            std::cerr << "vireo: " << error << '\n';
            return 1;
        }
    }
    HostApplication app(argc, argv);
    QApplication::setApplicationName("Vireo");
    platform::QtDesktop desktop;
    platform::Desktop::SetCurrent(&desktop);
    const std::string nodeFile =
        options.nodeFile.empty() ? DefaultNodeStatePath() : options.nodeFile;
    StartWindow window(nodeFile, options.site, [&options](const std::string& key) {
        return OpenNodeByKey(key, options.speed);
    });
    int status = 0;
    if (screenshot) {
        status = window.SavePicture(options.screenshotDir) ? 0 : 1;
    } else {
        // The window hides while a sheet is open: closing the sheet must not end the program.
        QApplication::setQuitOnLastWindowClosed(false);
        window.closed = [] { QApplication::quit(); };
        window.show();
        status = QApplication::exec();
    }
    platform::Desktop::SetCurrent(nullptr);
    return status;
}

int RunAbout(int& argc, char** argv, const HostOptions& options) {
    if (!DisplayAvailable()) {
        std::cerr << "vireo: no display available (DISPLAY and WAYLAND_DISPLAY are unset); "
                     "'vireo --screenshot DIR' saves a picture of the About box offscreen\n";
        return 1;
    }
    OpenedNode opened;
    const std::string path = options.nodeFile.empty() ? DefaultNodeStatePath() : options.nodeFile;
    if (const std::optional<std::string> problem =
            OpenNode(NodeTarget::Simulated(path),
                     {.hold = LockHold::None,
                      .missing = options.nodeFile.empty() ? MissingStateFile::Factory
                                                          : MissingStateFile::Read},
                     opened)) {
        std::cerr << "vireo: " << *problem << '\n';
        return 1;
    }
    SimNode& node = *opened.Simulated();
    HostApplication app(argc, argv);
    QApplication::setApplicationName("Vireo");
    platform::QtDesktop desktop;
    platform::Desktop::SetCurrent(&desktop);
    const int status =
        WithPlugin(node, [](PluginControl& control) { return control.About() == S_OK; });
    platform::Desktop::SetCurrent(nullptr);
    return status;
}

int RunScreenshots(int& argc, char** argv, const HostOptions& options) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    InstallQuietHandler();
    // Without --node, the factory node in memory.
    OpenedNode opened;
    SimNode factory;
    if (!options.nodeFile.empty()) {
        if (const std::optional<std::string> problem =
                OpenNode(NodeTarget::Simulated(options.nodeFile),
                         {.hold = LockHold::None, .missing = MissingStateFile::Read}, opened)) {
            std::cerr << "vireo: " << *problem << '\n';
            return 1;
        }
    }
    SimNode& node = opened.Simulated() != nullptr ? *opened.Simulated() : factory;
    // The pictures are the GUI's: its node with the plant's live values.
    Plant plant(node, {.seed = kGuiPlantSeed});
    plant.Attach(node, options.speed);
    std::error_code ec;
    const std::filesystem::path dir(options.screenshotDir);
    std::filesystem::create_directories(dir, ec);
    if (!std::filesystem::is_directory(dir, ec)) {
        std::cerr << "vireo: cannot create the folder " << dir.string()
                  << (ec ? " (" + ec.message() + ")" : std::string()) << '\n';
        return 1;
    }
    HostApplication app(argc, argv);
    platform::ScriptedDesktop desktop;
    platform::Desktop::SetCurrent(&desktop);
    bool ok = true;
    desktop.onSheetModal = [&](platform::CPropertySheet& sheet) {
        sheet.Window()->resize(1060, 900);
        sheet.Window()->show();
        ok = SaveTabs(sheet, dir, "set1") && ok;
        sheet.SetActivePage(0);
        if (sheet.GetActivePage()->ClickDlgItem(res::node_info::kVi2)) {
            ok = SaveTabs(sheet, dir, "set2") && ok;
        }
        sheet.Window()->hide();
        sheet.EndSheet(platform::IDOK);
    };
    desktop.onDialogModal = [&](platform::CDialog& dialog) {
        dialog.Window()->show();
        QApplication::processEvents();
        ok = SaveImage(dialog.Window()->grab().toImage(), dir / "about.png") && ok;
        dialog.EndDialog(platform::IDOK);
    };
    const int status = WithPlugin(node, [&](PluginControl& control) {
        ok = SaveImage(control.Face(62), dir / "face.png") && ok;
        return control.Properties() == S_OK && control.About() == S_OK;
    });
    platform::Desktop::SetCurrent(nullptr);
    ok = ok && status == 0;
    if (ok) {
        std::cout << "vireo: pictures saved in " << dir.string() << '\n';
    }
    return ok ? 0 : 1;
}

}  // namespace host

namespace host {

int WithApplication(int& argc, char** argv, const std::function<int()>& work) {
    InstallQuietHandler();
    HostApplication app(argc, argv);
    return work();
}

}  // namespace host
