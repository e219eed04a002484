#include "host/Commands.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <sstream>

#include "history/HistoryRecorder.h"
#include "host/ClientSite.h"
#include "host/ConsoleDesktop.h"
#include "host/NodeStateFile.h"
#include "host/Preflight.h"
#include "host/SimNode.h"
#include "settings/DownloadOperation.h"
#include "settings/ExportOperation.h"
#include "settings/FactoryDefaultsOperation.h"

namespace host {
namespace {

using Operation = std::function<bool(const NodeLink&, ConsoleDesktop&, std::string&)>;

// A private folder for files a command writes only for a moment; removed with its content.
class TempFolder {
public:
    TempFolder() {
        std::error_code error;
        std::string pattern =
            (std::filesystem::temp_directory_path(error) / "vireo-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~TempFolder() {
        if (!path_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(path_, ignored);
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    bool Made() const { return !path_.empty(); }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The pauses the operation will make: it runs first on a copy of the node, silently, with the
// pauses counted instead of made and an export written into a folder of its own. Exact on the
// simulated node, so the terminal's seconds left are too.
int PlannedPauseMs(const SimNode& node, const CommandOptions& options, bool writesFile,
                   const Operation& run) {
    SimNode copy = node;
    copy.store = nullptr;
    const TempFolder folder;
    std::ostringstream silent;
    ConsoleDesktop desktop(writesFile ? folder.File("settings.txt") : options.file, options.yes,
                           silent);
    desktop.SetProgressStyle(ProgressStyle::Quiet, "", 0);
    int planned = 0;
    desktop.sleep = [&planned](int ms) { planned += ms; };
    platform::Desktop* previous = platform::Desktop::Installed();
    platform::Desktop::SetCurrent(&desktop);
    const SimLink link(copy);
    std::string ignored;
    run(link.Link(), desktop, ignored);
    platform::Desktop::SetCurrent(previous);
    return planned;
}

struct Run {
    const char* operation;  // names the terminal's progress line
    bool writesFile;        // the operation writes options.file (the export)
    Operation run;
};

// Runs one operation on the node of the state file: loads it (creating it with the factory
// configuration when it does not exist), saves it after every write, and reports the result
// line on result.
int WithNode(const CommandOptions& options, std::ostream& result, std::ostream& err,
             const Run& what) {
    SimNode node;
    const std::optional<std::string> loaded = LoadCommandNode(options.nodeFile, node, err);
    if (!loaded) {
        return 1;
    }
    const int plannedMs = options.progress == ProgressStyle::Terminal
                              ? PlannedPauseMs(node, options, what.writesFile, what.run)
                              : 0;
    StateFileStore store(*loaded);
    node.store = &store;
    const SimLink link(node);
    // The host owns the node: its name comes from the state file, not from an extra call.
    const auto recorder = history::RecorderFromEnvironment(
        [&err](const std::string& text) { err << "vireo: " << text << '\n'; });
    if (recorder) {
        recorder->SetNodeName(node.Name());
    }
    const history::InstalledRecorder installed(recorder.get());
    ConsoleDesktop desktop(options.file, options.yes, err);
    desktop.sleep = options.sleep;
    desktop.SetProgressStyle(options.progress, what.operation, plannedMs);
    platform::Desktop* previous = platform::Desktop::Installed();
    platform::Desktop::SetCurrent(&desktop);
    std::string line;
    bool ok = what.run(link.Link(), desktop, line);
    platform::Desktop::SetCurrent(previous);
    desktop.EndProgress();
    // A write that could not be saved failed on the node, and the operation said so; here is
    // why.
    if (!store.Error().empty()) {
        err << "vireo: " << store.Error() << '\n';
        ok = false;
    }
    // When the result goes where the messages went, the message that says the same is enough.
    const bool said = &result == &err && options.progress != ProgressStyle::Quiet &&
                      !desktop.Messages().empty() && desktop.Messages().back() == line;
    if (!said) {
        result << line << '\n';
    }
    return ok ? 0 : 1;
}

bool Export(const CommandOptions& options, const NodeLink& link, ConsoleDesktop& desktop,
            std::string& result) {
    const settings::ExportResult r = settings::ExportOperation(link, desktop).Run(options.file);
    result = r.message.empty() ? "Export not completed" : r.message;
    return r.completed;
}

// `vireo export -`: the export writes into a private folder, and the finished file goes to out.
int ExportToStream(CommandOptions options, std::ostream& out, std::ostream& err) {
    const TempFolder folder;
    if (!folder.Made()) {
        err << "vireo export: cannot make a temporary folder: " << std::strerror(errno) << '\n';
        return 1;
    }
    options.file = folder.File("settings.txt");
    const int status = WithNode(
        options, err, err,
        {"Export", true, [&](const NodeLink& link, ConsoleDesktop& desktop, std::string& result) {
             return Export(options, link, desktop, result);
         }});
    if (status == 0) {
        std::ifstream in(options.file, std::ios::binary);
        out << in.rdbuf() << std::flush;
    }
    return status;
}

}  // namespace

std::optional<std::string> LoadCommandNode(const std::string& nodeFile, SimNode& node,
                                           std::ostream& err) {
    const std::string path = nodeFile.empty() ? DefaultNodeStatePath() : nodeFile;
    std::string error;
    if (StateFileExists(path, error)) {
        if (error = LoadNodeState(path, node); !error.empty()) {
            err << "vireo: " << error << '\n';
            return std::nullopt;
        }
    } else if (!error.empty()) {
        err << "vireo: " << error << '\n';
        return std::nullopt;
    } else if (!nodeFile.empty()) {
        err << "vireo: node state file " << path
            << " does not exist; make one with 'vireo node new " << path << "'\n";
        return std::nullopt;
    }
    return path;
}

int RunExportCommand(const CommandOptions& options, std::ostream& out, std::ostream& err) {
    if (options.file == "-") {
        return ExportToStream(options, out, err);
    }
    if (const std::string problem = CheckExportTarget(options.file, options.force);
        !problem.empty()) {
        err << "vireo export: " << problem << '\n';
        return 1;
    }
    return WithNode(
        options, out, err,
        {"Export", true, [&](const NodeLink& link, ConsoleDesktop& desktop, std::string& result) {
             return Export(options, link, desktop, result);
         }});
}

namespace {

// The operations that need the service password ask for it once their own checks passed.
int WithPassword(CommandOptions& options, std::ostream& out, std::ostream& err, const Run& what) {
    if (options.takePassword && !options.takePassword(options.password)) {
        return 2;
    }
    return WithNode(options, out, err, what);
}

}  // namespace

int RunDownloadCommand(CommandOptions options, std::ostream& out, std::ostream& err) {
    if (const std::string problem = CheckSettingsFileToRead(options.file); !problem.empty()) {
        err << "vireo download: " << problem << '\n';
        return 1;
    }
    return WithPassword(
        options, out, err,
        {"Download", false,
         [&](const NodeLink& link, ConsoleDesktop& desktop, std::string& result) {
             const settings::DownloadResult r =
                 settings::DownloadOperation(link, desktop).Run(options.password, options.file);
             result = r.message.empty() ? "Download not completed" : r.message;
             return r.completed;
         }});
}

int RunDefaultsCommand(CommandOptions options, std::ostream& out, std::ostream& err) {
    return WithPassword(
        options, out, err,
        {"Factory defaults", false,
         [&](const NodeLink& link, ConsoleDesktop& desktop, std::string& result) {
             const settings::FactoryDefaultsResult r =
                 settings::FactoryDefaultsOperation(link, desktop).Run(options.password);
             result = r.message.empty() ? "Default settings not completed" : r.message;
             return r.completed;
         }});
}

int RunNewNodeCommand(const std::string& path, const std::string& name, std::ostream& out,
                      std::ostream& err) {
    std::string error;
    if (StateFileExists(path, error) || !error.empty()) {
        err << "vireo: "
            << (error.empty() ? path + " already exists; a node state file is never overwritten"
                              : error)
            << '\n';
        return 1;
    }
    SimNode node;
    node.SetName(name);
    if (error = SaveNodeState(path, node); !error.empty()) {
        err << "vireo: " << error << '\n';
        return 1;
    }
    out << "Node " << name << " created in " << path << '\n';
    return 0;
}

}  // namespace host
