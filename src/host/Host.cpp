#include "host/Host.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "control/VireoCtrl.h"
#include "host/ClientSite.h"
#include "host/NodeStateFile.h"
#include "host/ScriptRunner.h"
#include "host/SimNode.h"
#include "platform/PropertySheet.h"
#include "platform/QtDesktop.h"
#include "platform/ScriptedDesktop.h"
#include "res/NodeInfoDialog.h"
#include "sheet/VireoPropPage.h"

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

// The properties verb on a node behind a client site.
void OpenSheet(SimNode& node) {
    auto* site = new ClientSite(node, Offer::Both);
    {
        CVireoCtrl control;
        control.SetClientSite(site);
        control.OnProperties(nullptr, nullptr, nullptr);
        control.SetClientSite(nullptr);
    }
    site->Release();
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

bool SaveTabs(platform::CPropertySheet& sheet, const std::filesystem::path& dir,
              const std::string& set) {
    bool ok = true;
    for (int i = 0; i < sheet.GetPageCount(); ++i) {
        sheet.SetActivePage(i);
        QApplication::processEvents();
        char prefix[32];
        std::snprintf(prefix, sizeof prefix, "%s-%02d-", set.c_str(), i + 1);
        const auto path = dir / (prefix + FileSafe(sheet.GetPage(i)->Caption()) + ".png");
        if (!sheet.Window()->grab().save(QString::fromStdString(path.string()))) {
            std::cerr << "vireo: cannot write " << path.string() << '\n';
            ok = false;
        }
    }
    return ok;
}

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
        std::cerr << "vireo: no display available (DISPLAY and WAYLAND_DISPLAY are unset); "
                     "use 'vireo --screenshot DIR' to save pictures of the pages offscreen, or "
                     "'vireo script FILE' to run a session script\n";
        return 1;
    }
    const std::string path = options.nodeFile.empty() ? DefaultNodeStatePath() : options.nodeFile;
    SimNode node;
    if (std::filesystem::exists(path)) {
        const std::string error = LoadNodeState(path, node);
        if (!error.empty()) {
            std::cerr << "vireo: " << error << '\n';
            return 1;
        }
    } else if (const std::string error = SaveNodeState(path, node); !error.empty()) {
        std::cerr << "vireo: " << error << '\n';
        return 1;
    }
    node.SetClockRuns(true);
    node.onChange = [&node, path] {
        if (const std::string error = SaveNodeState(path, node); !error.empty()) {
            std::cerr << "vireo: " << error << '\n';
        }
    };
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vireo");
    platform::QtDesktop desktop;
    platform::Desktop::SetCurrent(&desktop);
    OpenSheet(node);
    platform::Desktop::SetCurrent(nullptr);
    const std::string error = SaveNodeState(path, node);
    if (!error.empty()) {
        std::cerr << "vireo: " << error << '\n';
        return 1;
    }
    return 0;
}

int RunScreenshots(int& argc, char** argv, const HostOptions& options) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    InstallQuietHandler();
    SimNode node;
    if (!options.nodeFile.empty()) {
        const std::string error = LoadNodeState(options.nodeFile, node);
        if (!error.empty()) {
            std::cerr << "vireo: " << error << '\n';
            return 1;
        }
    }
    std::error_code ec;
    const std::filesystem::path dir(options.screenshotDir);
    std::filesystem::create_directories(dir, ec);
    if (!std::filesystem::is_directory(dir)) {
        std::cerr << "vireo: cannot create the folder " << dir.string() << '\n';
        return 1;
    }
    QApplication app(argc, argv);
    platform::ScriptedDesktop desktop;
    platform::Desktop::SetCurrent(&desktop);
    bool ok = true;
    desktop.onSheetModal = [&](platform::CPropertySheet& sheet) {
        sheet.Window()->resize(820, 600);
        sheet.Window()->show();
        ok = SaveTabs(sheet, dir, "set1") && ok;
        sheet.SetActivePage(0);
        if (sheet.GetActivePage()->ClickDlgItem(res::node_info::kVi2)) {
            ok = SaveTabs(sheet, dir, "set2") && ok;
        }
        sheet.Window()->hide();
        sheet.EndSheet(platform::IDOK);
    };
    OpenSheet(node);
    platform::Desktop::SetCurrent(nullptr);
    if (ok) {
        std::cout << "vireo: pictures saved in " << dir.string() << '\n';
    }
    return ok ? 0 : 1;
}

}  // namespace host

namespace host {

int RunScriptWithApp(int& argc, char** argv, const std::string& file) {
    InstallQuietHandler();
    QApplication app(argc, argv);
    return RunScriptFile(file, std::cout, std::cerr);
}

}  // namespace host
