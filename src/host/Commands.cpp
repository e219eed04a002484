#include "host/Commands.h"

#include <filesystem>
#include <functional>
#include <ostream>

#include "history/HistoryRecorder.h"
#include "host/ClientSite.h"
#include "host/ConsoleDesktop.h"
#include "host/NodeStateFile.h"
#include "host/SimNode.h"
#include "settings/DownloadOperation.h"
#include "settings/ExportOperation.h"
#include "settings/FactoryDefaultsOperation.h"

namespace host {
namespace {

// Runs one operation on the node of the state file: loads it (creating it with the factory
// configuration when it does not exist), saves it after every write, and reports.
int WithNode(const CommandOptions& options, std::ostream& out, std::ostream& err,
             const std::function<bool(const NodeLink&, ConsoleDesktop&, std::string&)>& run) {
    SimNode node;
    const std::optional<std::string> loaded = LoadCommandNode(options.nodeFile, node, err);
    if (!loaded) {
        return 1;
    }
    const std::string& path = *loaded;
    std::string saveError;
    node.onChange = [&] {
        if (const std::string error = SaveNodeState(path, node); !error.empty()) {
            saveError = error;
        }
    };
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
    platform::Desktop* previous = platform::Desktop::Installed();
    platform::Desktop::SetCurrent(&desktop);
    std::string result;
    bool ok = run(link.Link(), desktop, result);
    platform::Desktop::SetCurrent(previous);
    if (!saveError.empty()) {
        err << "vireo: " << saveError << '\n';
        ok = false;
    }
    out << result << '\n';
    return ok ? 0 : 1;
}

}  // namespace

std::optional<std::string> LoadCommandNode(const std::string& nodeFile, SimNode& node,
                                           std::ostream& err) {
    const std::string path = nodeFile.empty() ? DefaultNodeStatePath() : nodeFile;
    if (std::filesystem::exists(path)) {
        if (const std::string error = LoadNodeState(path, node); !error.empty()) {
            err << "vireo: " << error << '\n';
            return std::nullopt;
        }
    } else if (!nodeFile.empty()) {
        err << "vireo: node state file " << path << " does not exist\n";
        return std::nullopt;
    }
    return path;
}

int RunExportCommand(const CommandOptions& options, std::ostream& out, std::ostream& err) {
    return WithNode(options, out, err,
                    [&](const NodeLink& link, ConsoleDesktop& desktop, std::string& result) {
                        const settings::ExportResult r =
                            settings::ExportOperation(link, desktop).Run(options.file);
                        result = r.message.empty() ? "Export not completed" : r.message;
                        return r.completed;
                    });
}

int RunDownloadCommand(const CommandOptions& options, std::ostream& out, std::ostream& err) {
    return WithNode(
        options, out, err, [&](const NodeLink& link, ConsoleDesktop& desktop, std::string& result) {
            const settings::DownloadResult r =
                settings::DownloadOperation(link, desktop).Run(options.password, options.file);
            result = r.message.empty() ? "Download not completed" : r.message;
            return r.completed;
        });
}

int RunDefaultsCommand(const CommandOptions& options, std::ostream& out, std::ostream& err) {
    return WithNode(options, out, err,
                    [&](const NodeLink& link, ConsoleDesktop& desktop, std::string& result) {
                        const settings::FactoryDefaultsResult r =
                            settings::FactoryDefaultsOperation(link, desktop).Run(options.password);
                        result = r.message.empty() ? "Default settings not completed" : r.message;
                        return r.completed;
                    });
}

int RunNewNodeCommand(const std::string& path, const std::string& name, std::ostream& out,
                      std::ostream& err) {
    if (std::filesystem::exists(path)) {
        err << "vireo: " << path << " already exists; a node state file is never overwritten\n";
        return 1;
    }
    SimNode node;
    node.SetName(name);
    if (const std::string error = SaveNodeState(path, node); !error.empty()) {
        err << "vireo: " << error << '\n';
        return 1;
    }
    out << "Node " << name << " created in " << path << '\n';
    return 0;
}

}  // namespace host
