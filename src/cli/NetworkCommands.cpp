#include "cli/NetworkCommands.h"

#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>

#include "cli/Preflight.h"
#include "cli/SiteCommands.h"
#include "cli/TableRenderer.h"
#include "framework/QuoteText.h"
#include "link/SharedChannel.h"
#include "settings/SettingsFile.h"
#include "sim/Network.h"
#include "sim/NodeStateFile.h"
#include "sim/SimNode.h"

namespace host {
namespace {

namespace fs = std::filesystem;

enum class Result { Completed, NotCompleted, Refused, Failed, NotRun };

const char* ResultText(Result result) {
    switch (result) {
        case Result::Completed:
            return "completed";
        case Result::NotCompleted:
            return "not completed";
        case Result::Refused:
            return "refused";
        case Result::Failed:
            return "failed";
        case Result::NotRun:
            break;
    }
    return "not run";
}

// One node of the run: what it was to do and what came of it.
struct Row {
    std::string node;  // its name; the state file's name when the file cannot be read
    std::string stateFile;
    std::string programId;
    std::string file;   // the export's settings file
    bool ready = true;  // false: decided before the run (refused, failed)
    Result result = Result::NotRun;
    std::string message;
    int readErrors = 0;
    int writeErrors = 0;
    double seconds = 0;
    std::vector<std::string> notes;    // the write history's messages about the node
    std::optional<LinkSettings> link;  // a site's node: how to reach it over its channel
    int channel = 0;                   // a site's node: its channel

    void Decide(Result decided, std::string why) {
        ready = false;
        result = decided;
        message = std::move(why);
    }
};

// An operation on many nodes: its command, the word progress and summary use, what a node's run
// asks of the channel.
struct Operation {
    const char* command;
    const char* label;
    ChannelUse use;
};
constexpr Operation kExport{"export", "Export", kExportChannelUse};
constexpr Operation kDownload{"download", "Download", kDownloadChannelUse};
constexpr Operation kDefaults{"defaults", "Factory defaults", kDefaultsChannelUse};

// The open files a node's run holds at most at once: its operation lock for the whole run; while
// its state is saved, the state file's lock, the temporary and the folder (opened to sync it);
// the settings file the operation reads or writes.
constexpr std::uint64_t kOpenFilesPerNode = 5;
// A site's node holds one at a time: its operation lock while it opens the node and while the
// operation uses it; its settings file's temporary while an export saves it, after the node is
// let go (its folder is opened to sync it once the temporary is closed).
constexpr std::uint64_t kOpenFilesPerLinkedNode = 1;

struct Summary {
    const char* operation;
    std::string network;
    std::string site;
    double seconds = 0;
    Channel::Load channel;
};

double SteadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::string Fixed(double value, int decimals) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
    return text.data();
}

}  // namespace

namespace {

// Nodes done of nodes total: a line when the run starts and one per node, or one line rewritten
// in place on a terminal, which also counts the nodes running.
class NodesProgress {
public:
    NodesProgress(ProgressStyle style, std::string operation, int total, std::ostream& err)
        : progress_(style, err), operation_(std::move(operation)), total_(total) {}

    void Begin(int atOnce) {
        const std::lock_guard<std::mutex> lock(mutex_);
        progress_.Step(operation_ + " of " + std::to_string(total_) +
                       (total_ == 1 ? " node, " : " nodes, ") + std::to_string(atOnce) +
                       " at a time");
        Redraw();
    }

    void Started() {
        const std::lock_guard<std::mutex> lock(mutex_);
        ++running_;
        Redraw();
    }

    void Done(const Row& row, bool ran) {
        const std::lock_guard<std::mutex> lock(mutex_);
        ++done_;
        running_ -= ran ? 1 : 0;
        progress_.Step('[' + std::to_string(done_) + '/' + std::to_string(total_) + "] " +
                       platform::PrintableText(row.node) + ": " + ResultText(row.result) +
                       (row.message.empty() ? "" : ", " + row.message));
        Redraw();
    }

    void End() { progress_.End(); }

private:
    void Redraw() {
        const auto filled = static_cast<std::size_t>(done_) * ProgressRenderer::kBarWidth /
                            static_cast<std::size_t>(std::max(1, total_));
        progress_.Redraw(operation_ + "  " + std::to_string(done_) + " of " +
                         std::to_string(total_) + " nodes done  " + ProgressRenderer::Bar(filled) +
                         "  " + std::to_string(running_) + " running");
    }

    std::mutex mutex_;
    ProgressRenderer progress_;
    std::string operation_;
    int total_;
    int done_ = 0;
    int running_ = 0;
};

// The nodes the options name, each a row; nothing (the reason on err) when the network cannot
// be read or names no such nodes. Nodes whose state file cannot be read, and nodes that share a
// name, are decided here: they cannot run.
// The site's nodes the options name, each a row with how to reach it; nothing (the reason on
// err) when the site cannot be read or has no such nodes.
std::optional<std::vector<Row>> SelectSiteRows(const NetworkOptions& options, const char* command,
                                               std::ostream& err) {
    Site site;
    platform::SecretBytes secret;
    if (auto problem = LoadSiteWithSecret(options.site, site, secret)) {
        err << "vireo " << command << ": " << *problem << '\n';
        return std::nullopt;
    }
    std::vector<std::string> names = options.names;
    if (names.empty()) {
        for (const SiteNode& node : site.nodes) {
            names.push_back(node.name);
        }
    }
    if (names.empty()) {
        err << "vireo " << command << ": the site " << options.site
            << " has no nodes; find them with 'vireo discover --site " << options.site
            << " --save'\n";
        return std::nullopt;
    }
    std::vector<Row> rows;
    for (const std::string& name : names) {
        const SiteNode* node = FindSiteNode(site, name);
        if (node == nullptr) {
            err << "vireo " << command << ": the site " << options.site << " has no node named "
                << name << '\n';
            return std::nullopt;
        }
        Row row;
        row.node = name;
        row.programId = node->programId;
        row.channel = node->channel;
        LinkSettings settings;
        if (auto problem = NodeSettings(site, *node, secret, settings)) {
            row.Decide(Result::Failed, *problem);
        } else {
            row.link = settings;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::optional<std::vector<Row>> SelectRows(const NetworkOptions& options, const char* command,
                                           std::ostream& err) {
    if (!options.site.empty()) {
        return SelectSiteRows(options, command, err);
    }
    std::string error;
    const std::vector<NetworkNode> network = ListNetwork(options.network, error);
    std::vector<NetworkNode> chosen =
        options.names.empty() ? network
                              : SelectNodes(network, options.names, options.network, error);
    if (!error.empty()) {
        err << "vireo " << command << ": " << error << '\n';
        return std::nullopt;
    }
    if (chosen.empty()) {
        err << "vireo " << command << ": the network " << options.network
            << " has no nodes; make one with 'vireo node new --network " << options.network
            << " --name NAME'\n";
        return std::nullopt;
    }
    std::map<std::string, std::vector<std::string>> files;  // name -> state files
    for (const NetworkNode& node : chosen) {
        if (node.problem.empty()) {
            files[node.name].push_back(node.stateFile);
        }
    }
    std::vector<Row> rows;
    for (const NetworkNode& node : chosen) {
        Row row;
        row.stateFile = node.stateFile;
        row.programId = node.programId;
        row.node = node.problem.empty() ? node.name : fs::path(node.stateFile).stem().string();
        if (!node.problem.empty()) {
            row.Decide(Result::Failed, node.problem);
        } else if (files[node.name].size() > 1) {
            row.Decide(Result::Refused, "more than one node is named " + node.name + ": " +
                                            Joined(files[node.name]));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

// A console desktop of a node's own: quiet, its pauses as the options say, its messages kept.
std::unique_ptr<ConsoleDesktop> RowDesktop(const Row& row, const NetworkOptions& options,
                                           std::ostringstream& log) {
    auto desktop = std::make_unique<ConsoleDesktop>(
        row.file.empty() ? options.command.file : row.file, options.command.yes, log);
    desktop->sleep = options.command.sleep;
    desktop->SetProgressStyle(ProgressStyle::Quiet, "", 0);
    return desktop;
}

void TakeOutcome(Row& row, const NodeOutcome& outcome) {
    row.result = outcome.completed ? Result::Completed : Result::NotCompleted;
    row.message = outcome.line;
    row.readErrors = outcome.readErrors;
    row.writeErrors = outcome.writeErrors;
}

// The channels a run's nodes share: the simulated network's, or a site's routers, one shared
// channel a router (the router's configuration lists the PC once).
struct RunChannels {
    Channel& simulated;
    std::map<int, std::unique_ptr<SharedChannel>> routers;
};

// Opens the router of every channel the site's rows use; the rows of a router that cannot be
// had fail, and the others go on.
void OpenRouters(std::vector<Row>& rows, RunChannels& channels) {
    std::map<int, std::string> problems;
    for (Row& row : rows) {
        if (!row.ready || !row.link) {
            continue;
        }
        if (!channels.routers.contains(row.channel) && !problems.contains(row.channel)) {
            auto router = std::make_unique<SharedChannel>(*row.link);
            if (auto problem = router->Open()) {
                problems[row.channel] = *problem;
            } else {
                channels.routers[row.channel] = std::move(router);
            }
        }
        if (problems.contains(row.channel)) {
            row.Decide(Result::Failed, problems[row.channel]);
        }
    }
}

// A site's node: opened over its channel (it must tell a Program ID this plug-in serves), then
// the operation run on it; a node that does not answer fails alone.
void RunLinkedRow(Row& row, const NodeOperation& operation, const NetworkOptions& options,
                  SharedChannel& router) {
    // The node's operation lock, as every program of this PC takes it for this node; from the
    // node's opening on, the operation holds the node while it uses it, and not while it writes
    // its settings file: a node's run holds one file at a time.
    OpenedNode opened;
    if (auto problem = OpenNode(
            NodeTarget::Linked(*row.link),
            {.hold = LockHold::WhileOpening,
             .waiting = {.wait = !options.command.noWait,
                         .notice = [&row](const std::string& text) { row.notes.push_back(text); },
                         .stop = options.stopRequested},
             .router = &router,
             .name = row.node},
            opened)) {
        row.result = Result::Failed;
        row.message = *problem;
        return;
    }
    LonNode& node = *opened.Linked();
    std::ostringstream log;
    const auto desktop = RowDesktop(row, options, log);
    TakeOutcome(row, RunOnLinkedNode(node, *desktop, operation, [&row](const std::string& text) {
                    row.notes.push_back(text);
                }));
}

// One node's run, on the calling thread: its state file loaded, the operation run on it through
// the network's channel, or a site's node reached over its own. Whatever happens stays in the
// row.
void RunRow(Row& row, const NetworkOptions& options, const NodeOperation& operation,
            RunChannels& channels) {
    const double start = SteadySeconds();
    Channel& channel = channels.simulated;
    try {
        if (row.link) {
            RunLinkedRow(row, operation, options, *channels.routers.at(row.channel));
            row.seconds = SteadySeconds() - start;
            return;
        }
        // The node's lock is made here and taken for the operation (a node that stays in use
        // does not complete); without its state file kept, the node runs in memory, unlocked.
        const auto tell = [&row](const std::string& text) { row.notes.push_back(text); };
        OpenedNode opened;
        if (auto problem =
                OpenNode(NodeTarget::Simulated(row.stateFile),
                         {.hold = options.keepStateFiles ? LockHold::Made : LockHold::None,
                          .waiting = {.wait = !options.command.noWait,
                                      .notice = tell,
                                      .stop = options.stopRequested},
                          .missing = MissingStateFile::Read},
                         opened)) {
            row.result = Result::Failed;
            row.message = std::move(*problem);
            return;
        }
        SimNode& node = *opened.Simulated();
        node.channel = &channel;
        if (options.nodeLoaded) {
            options.nodeLoaded(node);
        }
        std::ostringstream log;
        const auto desktop = RowDesktop(row, options, log);
        TakeOutcome(row, RunOnNode(opened, *desktop, operation, tell));
    } catch (const std::exception& e) {
        row.result = Result::Failed;
        row.message = std::string("unexpected error: ") + e.what();
    } catch (...) {
        row.result = Result::Failed;
        row.message = "unexpected error";
    }
    row.seconds = SteadySeconds() - start;
}

// The simulated channel's rate; a site's nodes are paced by their real channels instead.
double SimulatedRate(const NetworkOptions& options) {
    return options.site.empty() ? options.channelRate : 0;
}

// The nodes ready to run, by channel (the simulated network's nodes share channel 0).
using ReadyRows = std::map<int, std::vector<Row*>>;

// The plan for the nodes ready to run, with the process's open-file limit raised as the plan
// needs; says on err when the limit lowered the jobs.
JobsPlan JobsFor(const ReadyRows& ready, const NetworkOptions& options, const Operation& operation,
                 std::ostream& err) {
    std::map<int, ChannelCrowd> channels;
    for (const auto& [channel, rows] : ready) {
        ChannelCrowd& crowd = channels[channel];
        crowd.nodes = static_cast<int>(rows.size());
        const Row& first = *rows.front();
        crowd.most = first.link ? NodesAtOnceOnChannel(*first.link)
                     : options.jobs > 0
                         ? kMostNodesAtOnce
                         : SimulatedNodesAtOnce(SimulatedRate(options), operation.use);
    }
    const JobsPlan chosen = PlanJobsForThisProcess(
        options.jobs, channels, options.site.empty() ? kOpenFilesPerNode : kOpenFilesPerLinkedNode);
    if (!chosen.note.empty()) {
        err << "vireo " << operation.command << ": " << chosen.note << '\n';
    }
    return chosen;
}

// Runs the rows that are ready, each on a thread of its own: on each channel as many at once as
// JobsFor says, a channel's threads taking its nodes one after the other.
void RunRows(std::vector<Row>& rows, const NetworkOptions& options, const Operation& operation,
             const std::function<NodeOperation(const Row&)>& operationFor, RunChannels& channels,
             NodesProgress& progress, std::ostream& err) {
    ReadyRows ready;
    for (Row& row : rows) {
        if (row.ready) {
            ready[row.link ? row.channel : 0].push_back(&row);
        }
    }
    const JobsPlan plan = JobsFor(ready, options, operation, err);
    progress.Begin(plan.jobs);
    for (const Row& row : rows) {
        if (!row.ready) {
            progress.Done(row, false);
        }
    }
    std::map<int, std::size_t> counts;
    for (const auto& [channel, channelRows] : ready) {
        counts[channel] = channelRows.size();
    }
    RunOnChannels(counts, plan.atOnce, [&](int channel, std::size_t i) {
        Row& row = *std::as_const(ready).at(channel)[i];
        const bool stopped = options.stopRequested && options.stopRequested();
        if (stopped) {
            row.message = "not started: the run was stopped";
        } else {
            progress.Started();
            RunRow(row, options, operationFor(row), channels);
        }
        progress.Done(row, !stopped);
    });
}

std::string Dash(const Row& row, int value) {
    return row.result == Result::Completed || row.result == Result::NotCompleted
               ? std::to_string(value)
               : "-";
}

// A site's nodes by channel: how many each channel had and how many of them completed.
std::map<int, std::pair<int, int>> ChannelTally(const std::vector<Row>& rows) {
    std::map<int, std::pair<int, int>> tally;
    for (const Row& row : rows) {
        auto& [nodes, completed] = tally[row.channel];
        ++nodes;
        completed += row.result == Result::Completed ? 1 : 0;
    }
    return tally;
}

void PrintSiteChannels(const std::vector<Row>& rows, std::ostream& out) {
    for (const auto& [channel, count] : ChannelTally(rows)) {
        out << "Channel " << channel << ": " << count.second << " of " << count.first
            << " nodes completed.\n";
    }
}

void PrintTable(const std::vector<Row>& rows, const Summary& summary, std::ostream& out) {
    using Align = TableRenderer::Align;
    TableRenderer table({{"Node"},
                         {"Result"},
                         {"Write errors", Align::Right},
                         {"Read errors", Align::Right},
                         {"Seconds", Align::Right},
                         {"Message"}},
                        TableRenderer::Width::Bytes);
    for (const Row& row : rows) {
        const bool ran = row.result == Result::Completed || row.result == Result::NotCompleted;
        table.AddRow({platform::PrintableText(row.node), ResultText(row.result),
                      Dash(row, row.writeErrors), Dash(row, row.readErrors),
                      ran ? Fixed(row.seconds, 1) : "-", row.message});
    }
    table.Print(out);
    const auto completed = std::count_if(
        rows.begin(), rows.end(), [](const Row& row) { return row.result == Result::Completed; });
    out << completed << " of " << rows.size() << " nodes completed in " << Fixed(summary.seconds, 1)
        << " s.\n";
    const Channel::Load& load = summary.channel;
    if (!summary.site.empty()) {
        PrintSiteChannels(rows, out);
    } else if (load.transactionsPerSecond > 0) {
        out << "Channel: " << load.transactions << " transactions at up to "
            << Fixed(load.transactionsPerSecond, 0) << " a second, "
            << Fixed(100 * Channel::Share(load, summary.seconds), 0)
            << " % of its capacity; the longest wait for it was " << Fixed(load.longestWait, 2)
            << " s.\n";
    } else {
        out << "Channel: " << load.transactions << " transactions, without a limit.\n";
    }
    for (const Row& row : rows) {
        for (const std::string& note : row.notes) {
            out << platform::PrintableText(row.node) << ": " << note << '\n';
        }
    }
}

void PrintJson(const std::vector<Row>& rows, const Summary& summary, std::ostream& out) {
    using nlohmann::json;
    json nodes = json::array();
    for (const Row& row : rows) {
        json entry = {{"node", row.node},
                      {"stateFile", row.stateFile},
                      {"result", ResultText(row.result)},
                      {"message", row.message},
                      {"notes", row.notes}};
        if (!row.file.empty()) {
            entry["file"] = row.file;
        }
        if (row.link) {
            entry.erase("stateFile");
            entry["channel"] = row.channel;
            entry["address"] = TargetText(row.link->node);
        }
        if (row.result == Result::Completed || row.result == Result::NotCompleted) {
            entry["writeErrors"] = row.writeErrors;
            entry["readErrors"] = row.readErrors;
            entry["seconds"] = row.seconds;
        }
        nodes.push_back(entry);
    }
    const auto completed = std::count_if(
        rows.begin(), rows.end(), [](const Row& row) { return row.result == Result::Completed; });
    const Channel::Load& load = summary.channel;
    json doc = {{"operation", summary.operation},
                {"network", summary.network},
                {"total", rows.size()},
                {"completed", completed},
                {"seconds", summary.seconds},
                {"channel",
                 {{"transactionsPerSecond", load.transactionsPerSecond},
                  {"transactions", load.transactions},
                  {"load", Channel::Share(load, summary.seconds)},
                  {"longestWaitSeconds", load.longestWait}}},
                {"nodes", nodes}};
    if (!summary.site.empty()) {
        doc.erase("network");
        doc.erase("channel");
        doc["site"] = summary.site;
        json channels = json::array();
        for (const auto& [channel, count] : ChannelTally(rows)) {
            channels.push_back(
                {{"channel", channel}, {"nodes", count.first}, {"completed", count.second}});
        }
        doc["channels"] = channels;
    }
    out << doc.dump(2, ' ', false, json::error_handler_t::replace) << '\n';
}

// Runs the rows, prints the summary; 0 only when every node completed.
int RunAndReport(std::vector<Row>& rows, const NetworkOptions& options, const Operation& operation,
                 const std::function<NodeOperation(const Row&)>& operationFor, std::ostream& out,
                 std::ostream& err) {
    Channel channel(SimulatedRate(options), options.channelClock);
    NodesProgress progress(options.json ? ProgressStyle::Quiet : options.command.progress,
                           operation.label, static_cast<int>(rows.size()), err);
    const double start = SteadySeconds();
    RunChannels channels{channel, {}};
    OpenRouters(rows, channels);
    RunRows(rows, options, operation, operationFor, channels, progress, err);
    progress.End();
    Summary summary{operation.label, options.network, options.site, SteadySeconds() - start,
                    channel.Measured()};
    if (options.json) {
        PrintJson(rows, summary, out);
    } else {
        PrintTable(rows, summary, out);
    }
    const bool all = std::all_of(rows.begin(), rows.end(),
                                 [](const Row& row) { return row.result == Result::Completed; });
    return all ? 0 : 1;
}

bool AnyReady(const std::vector<Row>& rows) {
    return std::any_of(rows.begin(), rows.end(), [](const Row& row) { return row.ready; });
}

// The Program ID lines of a settings file, as their text.
class ProgramIdLines : public settings::SettingsFile::Visitor {
public:
    bool OnProgramId(std::string_view text) override {
        texts.emplace_back(text);
        return false;
    }
    void OnLabel(const settings::SettingsFile::Label&) override {}
    std::vector<std::string> texts;
};

// Why the file does not fit the node's Program ID; empty when every Program ID line of the
// file names the node's.
std::string ProgramIdMismatch(const std::vector<std::string>& fileIds, const std::string& node) {
    ProgramId nodeId{};
    ParseProgramId(node, nodeId);
    for (const std::string& text : fileIds) {
        ProgramId fileId{};
        if (!ParseProgramId(text, fileId) || fileId != nodeId) {
            return "the file's Program ID " + text + " is not the node's (" + node +
                   "); --yes downloads anyway";
        }
    }
    return {};
}

}  // namespace

int RunNetworkExport(NetworkOptions options, std::ostream& out, std::ostream& err) {
    std::optional<std::vector<Row>> rows = SelectRows(options, kExport.command, err);
    if (!rows) {
        return 1;
    }
    std::error_code code;
    fs::create_directories(options.outDir, code);
    if (code) {
        err << "vireo export: cannot make the folder " << options.outDir << ": " << code.message()
            << '\n';
        return 1;
    }
    for (Row& row : *rows) {
        if (!row.ready) {
            continue;
        }
        if (std::string problem = NameProblem(row.node); !problem.empty()) {
            row.Decide(Result::Refused, problem);
            continue;
        }
        row.file = (fs::path(options.outDir) / (row.node + ".txt")).string();
        if (std::string problem = CheckExportTarget(row.file, options.command.force);
            !problem.empty()) {
            row.Decide(Result::Refused, problem);
        }
    }
    return RunAndReport(
        *rows, options, kExport, [](const Row& row) { return ExportTo(row.file); }, out, err);
}

int RunNetworkDownload(NetworkOptions options, std::ostream& out, std::ostream& err) {
    CommandOptions& command = options.command;
    if (const std::string problem = CheckSettingsFileToRead(command.file); !problem.empty()) {
        err << "vireo download: " << problem << '\n';
        return 1;
    }
    std::optional<std::vector<Row>> rows = SelectRows(options, kDownload.command, err);
    if (!rows) {
        return 1;
    }
    ProgramIdLines ids;
    std::ifstream in(command.file, std::ios::binary);
    settings::SettingsFile::Read(in, ids);
    for (Row& row : *rows) {
        if (std::string problem = ProgramIdMismatch(ids.texts, row.programId);
            row.ready && !command.yes && !row.programId.empty() && !problem.empty()) {
            row.Decide(Result::Refused, problem);
        }
    }
    if (AnyReady(*rows) && command.takePassword && !command.takePassword(command.password)) {
        return 2;
    }
    const NodeOperation download = DownloadFrom(command.file, command.password);
    return RunAndReport(
        *rows, options, kDownload, [&](const Row&) { return download; }, out, err);
}

int RunNetworkDefaults(NetworkOptions options, std::ostream& out, std::ostream& err) {
    CommandOptions& command = options.command;
    std::optional<std::vector<Row>> rows = SelectRows(options, kDefaults.command, err);
    if (!rows) {
        return 1;
    }
    if (AnyReady(*rows) && command.takePassword && !command.takePassword(command.password)) {
        return 2;
    }
    const NodeOperation defaults = RestoreDefaults(command.password);
    return RunAndReport(
        *rows, options, kDefaults, [&](const Row&) { return defaults; }, out, err);
}

namespace {

// The network's nodes, a row each; a node whose state file cannot be read says why.
void PrintNetwork(const std::vector<NetworkNode>& network, std::ostream& out) {
    // A Program ID's text is 23 characters wide: a column of nodes that cannot be read keeps it.
    constexpr std::size_t kIdWidth = 23;
    TableRenderer table(
        {{"Node"}, {"Program ID", TableRenderer::Align::Left, kIdWidth}, {"State file"}},
        TableRenderer::Width::Bytes);
    for (const NetworkNode& node : network) {
        if (node.problem.empty()) {
            table.AddRow({platform::PrintableText(node.name), node.programId,
                          platform::PrintableText(node.stateFile)});
        } else {
            table.AddRow(
                {"?", "?", platform::PrintableText(node.stateFile + "  (" + node.problem + ")")});
        }
    }
    table.Print(out);
}

}  // namespace

int RunNodesCommand(const std::string& folder, bool json, std::ostream& out, std::ostream& err) {
    std::string error;
    const std::vector<NetworkNode> network = ListNetwork(folder, error);
    if (!error.empty()) {
        err << "vireo nodes: " << error << '\n';
        return 1;
    }
    const bool broken = std::any_of(network.begin(), network.end(),
                                    [](const NetworkNode& node) { return !node.problem.empty(); });
    if (json) {
        nlohmann::json doc = {{"network", folder}, {"nodes", nlohmann::json::array()}};
        for (const NetworkNode& node : network) {
            nlohmann::json entry = {{"stateFile", node.stateFile}};
            if (node.problem.empty()) {
                entry["name"] = node.name;
                entry["programId"] = node.programId;
            } else {
                entry["problem"] = node.problem;
            }
            doc["nodes"].push_back(entry);
        }
        out << doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    } else if (network.empty()) {
        out << "The network " << folder << " has no nodes; make one with 'vireo node new --network "
            << folder << " --name NAME'\n";
    } else {
        PrintNetwork(network, out);
    }
    return broken ? 1 : 0;
}

int RunNewNetworkNodeCommand(const std::string& folder, const std::string& name, std::ostream& out,
                             std::ostream& err) {
    if (const std::string problem = NameProblem(name); !problem.empty()) {
        err << "vireo node new: " << problem << '\n';
        return 1;
    }
    std::string error;
    const std::vector<NetworkNode> network = ListNetwork(folder, error);
    if (!error.empty()) {
        err << "vireo node new: " << error << '\n';
        return 1;
    }
    for (const NetworkNode& node : network) {
        if (node.problem.empty() && node.name == name) {
            err << "vireo node new: the network " << folder << " has a node named " << name
                << " already (" << node.stateFile << ")\n";
            return 1;
        }
    }
    std::error_code code;
    fs::create_directories(folder, code);
    if (code) {
        err << "vireo node new: cannot make the network folder " << folder << ": " << code.message()
            << '\n';
        return 1;
    }
    return RunNewNodeCommand((fs::path(folder) / (name + ".json")).string(), name, out, err);
}

namespace {

volatile std::sig_atomic_t g_stopRequested = 0;

extern "C" void OnInterrupt(int signal) {
    if (g_stopRequested != 0) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    g_stopRequested = 1;
    constexpr char kText[] =
        "\nvireo: stopping: the nodes that have started finish, no other starts "
        "(Ctrl-C again stops at once)\n";
    const ssize_t ignored = ::write(STDERR_FILENO, kText, sizeof kText - 1);
    static_cast<void>(ignored);
}

}  // namespace

std::function<bool()> StopOnInterrupt() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    return [] { return g_stopRequested != 0; };
}

}  // namespace host
