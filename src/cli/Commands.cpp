#include "cli/Commands.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <sstream>

#include "cli/Preflight.h"
#include "framework/QuoteText.h"
#include "history/HistoryRecorder.h"
#include "host/ClientSite.h"
#include "host/ConsoleDesktop.h"
#include "link/LonNode.h"
#include "settings/DownloadOperation.h"
#include "settings/ExportOperation.h"
#include "settings/FactoryDefaultsOperation.h"
#include "sim/NodeStateFile.h"
#include "sim/OperationLock.h"
#include "sim/SimNode.h"

namespace host {
namespace {

// A private folder for files a command writes only for a moment; removed with its content.
class TempFolder {
public:
    // Under TMPDIR (else /tmp); Problem() says why it could not be made.
    TempFolder() {
        const char* tmpdir = std::getenv("TMPDIR");
        const std::string base = tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp";
        std::string pattern = base + "/vireo-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        } else {
            problem_ =
                "cannot make a temporary folder in " + base +
                (tmpdir != nullptr && *tmpdir != '\0' ? " (TMPDIR)" : " (TMPDIR is not set)") +
                ": " + std::strerror(errno);
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
    const std::string& Problem() const { return problem_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
    std::string problem_;
};

// Installs a desktop as this thread's for a scope, and puts the previous one back.
class InstalledDesktop {
public:
    explicit InstalledDesktop(platform::Desktop& desktop)
        : previous_(platform::Desktop::Installed()) {
        platform::Desktop::SetCurrent(&desktop);
    }
    ~InstalledDesktop() { platform::Desktop::SetCurrent(previous_); }
    InstalledDesktop(const InstalledDesktop&) = delete;
    InstalledDesktop& operator=(const InstalledDesktop&) = delete;

private:
    platform::Desktop* previous_;
};

// The pauses the operation will make: it runs first on a copy of the node, silently, with the
// pauses counted instead of made; an export only reads the node, so the planning writes no
// file. Exact on the simulated node, so the terminal's seconds left are too.
int PlannedPauseMs(const SimNode& node, const CommandOptions& options, bool writesFile,
                   const NodeOperation& operation) {
    SimNode copy = node;
    copy.store = nullptr;
    copy.channel = nullptr;
    copy.operationLock = nullptr;
    std::ostringstream silent;
    ConsoleDesktop desktop(options.file, options.yes, silent);
    desktop.SetProgressStyle(ProgressStyle::Quiet, "", 0);
    int planned = 0;
    desktop.sleep = [&planned](int ms) { planned += ms; };
    const InstalledDesktop installed(desktop);
    const SimLink link(copy);
    if (writesFile) {
        settings::ReadNodeConfiguration(link.Link(), desktop);
    } else {
        operation(link.Link(), desktop);
    }
    return planned;
}

struct Run {
    const char* operation;  // names the terminal's progress line
    bool writesFile;        // the operation writes options.file (the export)
    NodeOperation run;
};

// Runs one operation on the node of the state file: loads it (creating it with the factory
// configuration when it does not exist), saves it after every write, and reports the result
// line on result.
// The result line, unless the messages already said it on the same stream.
void ReportOutcome(const NodeOutcome& outcome, const CommandOptions& options,
                   const ConsoleDesktop& desktop, std::ostream& result, std::ostream& err) {
    const bool said = &result == &err && options.progress != ProgressStyle::Quiet &&
                      !desktop.Messages().empty() && desktop.Messages().back() == outcome.line;
    if (!said) {
        result << outcome.line << '\n';
    }
}

// The same operation on a node over a link; its pauses are not planned ahead (that would cost
// the channel's time twice).
int WithLinkedNode(LonNode& node, const CommandOptions& options, std::ostream& result,
                   std::ostream& err, const Run& what,
                   const std::function<void(const std::string&)>& tell) {
    ConsoleDesktop desktop(options.file, options.yes, err);
    desktop.sleep = options.sleep;
    desktop.SetProgressStyle(options.progress, what.operation, 0);
    const NodeOutcome outcome = RunOnLinkedNode(node, desktop, what.run, tell);
    ReportOutcome(outcome, options, desktop, result, err);
    return outcome.completed ? 0 : 1;
}

int WithNode(const CommandOptions& options, std::ostream& result, std::ostream& err,
             const Run& what) {
    const auto tell = [&err](const std::string& text) { err << "vireo: " << text << '\n'; };
    CommandNode command = CommandNodeOf(options.nodeFile, options.link, true);
    command.open.waiting = {.wait = !options.noWait, .notice = tell};
    OpenedNode opened;
    if (const std::optional<std::string> problem = OpenNode(command.target, command.open, opened)) {
        tell(*problem);
        return 1;
    }
    if (opened.Linked() != nullptr) {
        return WithLinkedNode(*opened.Linked(), options, result, err, what, tell);
    }
    const int plannedMs =
        options.progress == ProgressStyle::Terminal
            ? PlannedPauseMs(*opened.Simulated(), options, what.writesFile, what.run)
            : 0;
    ConsoleDesktop desktop(options.file, options.yes, err);
    desktop.sleep = options.sleep;
    desktop.SetProgressStyle(options.progress, what.operation, plannedMs);
    const NodeOutcome outcome = RunOnNode(opened, desktop, what.run, tell);
    // When the result goes where the messages went, the message that says the same is enough.
    ReportOutcome(outcome, options, desktop, result, err);
    return outcome.completed ? 0 : 1;
}

// `vireo export -`: the export writes into a private folder, and the finished file goes to out.
int ExportToStream(CommandOptions options, std::ostream& out, std::ostream& err) {
    const TempFolder folder;
    if (!folder.Made()) {
        err << "vireo export: " << folder.Problem() << '\n';
        return 1;
    }
    options.file = folder.File("settings.txt");
    const int status = WithNode(options, err, err, {"Export", true, ExportTo(options.file)});
    if (status == 0) {
        std::ifstream in(options.file, std::ios::binary);
        out << in.rdbuf() << std::flush;
    }
    return status;
}

}  // namespace

CommandNode CommandNodeOf(const std::string& nodeFile, const std::optional<LinkSettings>& link,
                          bool operation) {
    if (link) {
        return {NodeTarget::Linked(*link), {.hold = operation ? LockHold::Kept : LockHold::None}};
    }
    return {NodeTarget::Simulated(nodeFile.empty() ? DefaultNodeStatePath() : nodeFile),
            {.hold = operation ? LockHold::Made : LockHold::None,
             .missing = nodeFile.empty() ? MissingStateFile::Factory : MissingStateFile::Refuse}};
}

bool OpenCommandNode(const std::string& nodeFile, OpenedNode& opened, std::ostream& err) {
    const CommandNode command = CommandNodeOf(nodeFile, std::nullopt, false);
    if (const std::optional<std::string> problem = OpenNode(command.target, command.open, opened)) {
        err << "vireo: " << *problem << '\n';
        return false;
    }
    return true;
}

namespace {

NodeOutcome OutcomeOf(const settings::OperationReport& report) {
    return NodeOutcome{report.Completed(), report.Line(), report.readErrors, report.writeErrors};
}

}  // namespace

NodeOperation ExportTo(std::string file) {
    return [file = std::move(file)](const NodeLink& link, ConsoleDesktop& desktop) {
        return OutcomeOf(settings::ExportOperation(link, desktop).Run(file));
    };
}

NodeOperation DownloadFrom(std::string file, std::string password) {
    return [file = std::move(file), password = std::move(password)](const NodeLink& link,
                                                                    ConsoleDesktop& desktop) {
        return OutcomeOf(settings::DownloadOperation(link, desktop).Run(password, file));
    };
}

NodeOperation RestoreDefaults(std::string password) {
    return [password = std::move(password)](const NodeLink& link, ConsoleDesktop& desktop) {
        return OutcomeOf(settings::FactoryDefaultsOperation(link, desktop).Run(password));
    };
}

NodeOutcome RunOnNode(OpenedNode& opened, ConsoleDesktop& desktop, const NodeOperation& operation,
                      const std::function<void(const std::string&)>& tell) {
    SimNode& node = *opened.Simulated();
    OperationLock* lock = opened.Lock();
    // Without its lock the node runs in memory: its state file is neither written nor named.
    const std::string stateFile = lock != nullptr ? opened.StateFile() : std::string();
    StateFileStore store(stateFile);
    node.store = stateFile.empty() ? nullptr : &store;
    node.operationLock = nullptr;
    // Held before anything is read or written, so that a command that may not wait fails
    // before the node is touched.
    if (lock != nullptr) {
        if (!lock->Acquire()) {
            node.store = nullptr;
            return NodeOutcome{false, lock->Error(), 0, 0};
        }
        node.operationLock = lock;
    }
    const SimLink link(node);
    // The host owns the node: its name comes from the state file, not from an extra call, and
    // the state file is what tells it from another node of the same name.
    const auto recorder = history::RecorderFromEnvironment(tell);
    if (recorder) {
        recorder->SetNode(stateFile.empty() ? std::string() : opened.Identity(), node.Name());
    }
    NodeOutcome outcome;
    {
        const history::InstalledRecorder installedRecorder(recorder.get());
        const InstalledDesktop installedDesktop(desktop);
        outcome = operation(link.Link(), desktop);
    }
    desktop.EndProgress();
    node.store = nullptr;
    node.operationLock = nullptr;
    if (lock != nullptr && lock->Held()) {
        lock->Release();
    }
    // A write that could not be saved failed on the node, and the operation said so; here is
    // why.
    if (!store.Error().empty()) {
        tell(store.Error());
        outcome.completed = false;
    }
    return outcome;
}

NodeOutcome RunOnLinkedNode(LonNode& node, ConsoleDesktop& desktop, const NodeOperation& operation,
                            const std::function<void(const std::string&)>& tell) {
    const SimLink link(node);
    const auto recorder = history::RecorderFromEnvironment(tell);
    if (recorder) {
        recorder->SetNode(node.identity, node.Name());
    }
    NodeOutcome outcome;
    {
        const history::InstalledRecorder installedRecorder(recorder.get());
        const InstalledDesktop installedDesktop(desktop);
        outcome = operation(link.Link(), desktop);
    }
    desktop.EndProgress();
    if (!outcome.completed && !node.LastError().empty()) {
        tell(node.LastError());
    }
    return outcome;
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
    return WithNode(options, out, err, {"Export", true, ExportTo(options.file)});
}

namespace {

// The operations that need the service password ask for it once their own checks passed.
int WithPassword(CommandOptions& options, std::ostream& out, std::ostream& err, Run what,
                 const std::function<NodeOperation()>& make) {
    if (options.takePassword && !options.takePassword(options.password)) {
        return 2;
    }
    what.run = make();
    return WithNode(options, out, err, what);
}

}  // namespace

int RunDownloadCommand(CommandOptions options, std::ostream& out, std::ostream& err) {
    if (const std::string problem = CheckSettingsFileToRead(options.file); !problem.empty()) {
        err << "vireo download: " << problem << '\n';
        return 1;
    }
    return WithPassword(options, out, err, {"Download", false, nullptr},
                        [&] { return DownloadFrom(options.file, options.password); });
}

int RunDefaultsCommand(CommandOptions options, std::ostream& out, std::ostream& err) {
    return WithPassword(options, out, err, {"Factory defaults", false, nullptr},
                        [&] { return RestoreDefaults(options.password); });
}

int RunNewNodeCommand(const std::string& path, const std::string& name, std::ostream& out,
                      std::ostream& err) {
    SimNode node;
    node.SetName(name);
    bool existed = false;
    const std::string error = CreateStateFile(path, node, existed);
    if (existed || !error.empty()) {
        err << "vireo: "
            << (existed ? path + " already exists; a node state file is never overwritten" : error)
            << '\n';
        return 1;
    }
    out << "Node " << platform::PrintableText(name) << " created in "
        << platform::PrintableText(path) << '\n';
    return 0;
}

}  // namespace host
