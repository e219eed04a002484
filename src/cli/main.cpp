// vireo: the host tool. Opens the configuration sheet on the simulated node, saves pictures of
// its pages, runs session scripts, and runs the settings-file operations from the command line.

#include <CLI/CLI.hpp>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "cli/Commands.h"
#include "cli/HistoryCommand.h"
#include "cli/NetworkCommands.h"
#include "cli/NodesCommand.h"
#include "cli/Password.h"
#include "cli/ViewCommands.h"
#include "host/Host.h"
#include "host/Plugin.h"
#include "script/ScriptRunner.h"
#include "sim/Network.h"
#include "sim/NodeStateFile.h"

namespace {

// Qt wants a private runtime folder; give it one when the session has none.
void EnsureRuntimeDir() {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    if (dir != nullptr && *dir != '\0') {
        return;
    }
    const std::string path = "/tmp/vireo-runtime-" + std::to_string(getuid());
    mkdir(path.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", path.c_str(), 1);
}

// `vireo diff A B` compares two files; `vireo diff FILE [--node STATE]` a file with the node.
int RunDiff(const std::vector<std::string>& files, const std::string& nodeFile, std::ostream& out,
            std::ostream& err) {
    if (files.size() == 1) {
        return host::RunDiffNodeCommand({nodeFile, files[0], {}}, out, err);
    }
    if (!nodeFile.empty()) {
        err << "vireo diff: --node compares the node with one settings file, not two\n";
        return host::kViewTrouble;
    }
    return host::RunDiffFilesCommand(files[0], files[1], out, err);
}

// Progress on a terminal is one line rewritten in place; elsewhere one line per step.
host::ProgressStyle ProgressFor(bool quiet) {
    if (quiet) {
        return host::ProgressStyle::Quiet;
    }
    return isatty(STDERR_FILENO) != 0 ? host::ProgressStyle::Terminal : host::ProgressStyle::Lines;
}

// The service password of a download or the factory defaults, from the safest source given.
bool TakePassword(const char* command, const std::optional<std::string>& option,
                  const std::optional<std::string>& file, std::string& password) {
    std::string error;
    const auto resolved = host::ResolvePassword(host::ProcessPasswordSources(option, file), error);
    if (!resolved) {
        std::cerr << "vireo " << command << ": " << error << '\n';
        return false;
    }
    password = *resolved;
    return true;
}

// The options every command that writes the node takes for its service password.
void AddPasswordOptions(CLI::App* command, std::optional<std::string>& option,
                        std::optional<std::string>& file) {
    auto* fileOption = command->add_option(
        "--password-file", file, "read the service password from the first line of this file");
    command
        ->add_option("--password", option,
                     "the service password (visible to other users in ps and kept in the "
                     "shell's history: prefer --password-file or VIREO_PASSWORD)")
        ->excludes(fileOption);
}

// The options of the operations that can work on many nodes of a network at once.
struct ManyNodes {
    std::vector<std::string> names;
    bool all = false;
    std::string network;
    int jobs = 0;
    bool json = false;
    double channelRate = host::kTwistedPairTransactionsPerSecond;
    std::string outDir;

    bool Wanted() const { return !names.empty() || all; }
};

// A channel carries 1 to 1,000,000 node transactions a second, or 0 for no limit.
const CLI::Validator kChannelRate(
    [](std::string& text) {
        double rate = -1;
        if (CLI::detail::lexical_cast(text, rate) && (rate == 0 || (rate >= 1 && rate <= 1e6))) {
            return std::string();
        }
        return "node transactions a second, 1 to 1000000, or 0 for no limit; not " + text;
    },
    "0 or 1-1000000");

void AddManyNodesOptions(CLI::App* command, ManyNodes& many) {
    auto* names =
        command->add_option("--nodes", many.names, "the nodes of the network, by name: A,B,...")
            ->delimiter(',');
    command->add_flag("--all", many.all, "every node of the network")->excludes(names);
    command->add_option("--network", many.network,
                        "the network's folder of node state files (default: under the XDG "
                        "state folder)");
    command
        ->add_option("--jobs", many.jobs,
                     "how many nodes at once (default: as many as the channel carries, within "
                     "the open-file limit)")
        ->check(CLI::PositiveNumber);
    command->add_flag("--json", many.json, "print the summary as JSON");
    command
        ->add_option("--channel-rate", many.channelRate,
                     "node transactions a second the network's channel carries (default 200, a "
                     "twisted-pair channel; 0: no limit)")
        ->check(kChannelRate);
}

// What is wrong with a command's options for one node or for many; empty when nothing is.
std::string ManyNodesMisuse(const CLI::App* command, const ManyNodes& many, bool hasFile) {
    if (!many.Wanted()) {
        for (const char* option : {"--network", "--jobs", "--json", "--channel-rate", "--out"}) {
            if (command->get_option_no_throw(option) != nullptr && command->count(option) > 0) {
                return std::string(option) + " goes with --nodes or --all";
            }
        }
        return {};
    }
    if (command->count("--node") > 0) {
        return "--node names one node; --nodes and --all name nodes of a network";
    }
    if (command->get_name() == "export" && hasFile) {
        return "with --nodes or --all the settings files go into --out DIR, one a node";
    }
    if (command->get_name() == "export" && many.outDir.empty()) {
        return "--out DIR is needed with --nodes or --all: the folder of the settings files";
    }
    if (command->get_option_no_throw("--dry-run") != nullptr && command->count("--dry-run") > 0) {
        return "--dry-run looks at one node";
    }
    return {};
}

host::NetworkOptions NetworkOptionsOf(const ManyNodes& many, const host::CommandOptions& command) {
    host::NetworkOptions options;
    options.network = many.network.empty() ? host::DefaultNetworkPath() : many.network;
    options.names = many.all ? std::vector<std::string>{} : many.names;
    options.jobs = many.jobs;
    options.channelRate = many.channelRate;
    options.json = many.json;
    options.outDir = many.outDir;
    options.command = command;
    options.stopRequested = host::StopOnInterrupt();
    return options;
}

std::string HelpFooter() {
    return "Without --node the simulated node's state file is " + host::DefaultNodeStatePath() +
           ".\nThe service password comes from --password, --password-file or VIREO_PASSWORD, "
           "in that order, else it is asked for on the terminal.\nThe simulated network (vireo "
           "nodes, "
           "--nodes, --all) is the folder " +
           host::DefaultNetworkPath() +
           " unless --network names another.\nExit status: 0 done; 1 the "
           "operation failed or did not complete; 2 wrong usage. diff: 0 equal, 1 different, "
           "2 trouble.";
}

}  // namespace

namespace {

// lostOutput: the status a command ends with when its output could not be written.
int Main(int argc, char** argv, int& lostOutput) {
    EnsureRuntimeDir();
    CLI::App app{"Vireo: configuration of the heating controller node", "vireo"};
    app.set_version_flag("--version", std::string("vireo ") + VIREO_VERSION);
    app.footer(HelpFooter());
    host::HostOptions options;
    app.add_option("--node", options.nodeFile,
                   "state file of the simulated node (default: under the XDG state folder)");
    app.add_option("--screenshot", options.screenshotDir,
                   "save a PNG of every tab, rendered offscreen, into this folder and exit");
    app.add_option("--speed", options.speed,
                   "how much faster than real time the simulated heating plant runs (default 1; "
                   "60 makes a day pass in 24 minutes)")
        ->check(CLI::PositiveNumber);

    std::string scriptFile;
    auto* script = app.add_subcommand("script", "run a session script without a display");
    script->add_option("FILE", scriptFile, "the script, or - for standard input")->required();

    host::CommandOptions command;
    bool quiet = false;
    std::optional<std::string> passwordOption;
    std::optional<std::string> passwordFile;
    auto* exportCommand =
        app.add_subcommand("export", "export the node's configuration to a settings file");
    exportCommand->add_option(
        "FILE", command.file,
        "the settings file to write, or - for standard output (not with --nodes "
        "or --all)");
    ManyNodes many;
    exportCommand->add_option("--out", many.outDir,
                              "with --nodes or --all: the folder of the settings files, NAME.txt "
                              "a node");
    exportCommand->add_flag("--force", command.force, "overwrite FILE when it exists");
    auto* download = app.add_subcommand("download", "download a settings file into the node");
    download->add_option("FILE", command.file, "the settings file to read")->required();
    AddPasswordOptions(download, passwordOption, passwordFile);
    download->add_flag("--yes", command.yes,
                       "download even when the file's Program ID differs from the node kind's");
    bool dryRun = false;
    download->add_flag("--dry-run", dryRun,
                       "list what the download would change and write nothing (no password)");
    std::string showFile;
    bool showJson = false;
    auto* show = app.add_subcommand(
        "show", "show a settings file's values and the lines a download would skip or refuse");
    show->add_option("FILE", showFile, "the settings file")->required();
    show->add_flag("--json", showJson, "print JSON");
    std::vector<std::string> diffFiles;
    auto* diff = app.add_subcommand(
        "diff",
        "compare two settings files, or a settings file with the node (exit 0 equal, "
        "1 different, 2 trouble)");
    diff->add_option("FILE", diffFiles, "one settings file (compared with the node) or two")
        ->required()
        ->expected(1, 2);
    auto* defaults = app.add_subcommand("defaults", "restore the node's factory settings");
    AddPasswordOptions(defaults, passwordOption, passwordFile);
    for (CLI::App* sub : {exportCommand, download, defaults}) {
        sub->add_flag("--quiet", quiet, "print only the result line");
        sub->add_flag("--no-wait", command.noWait,
                      "fail at once when another process is using the node, instead of waiting "
                      "for it");
        AddManyNodesOptions(sub, many);
    }
    std::string newNodeFile;
    std::string newNodeName = "Node1";
    auto* nodeCommand = app.add_subcommand("node", "make and look at simulated nodes");
    nodeCommand->require_subcommand(1);
    auto* nodeNew = nodeCommand->add_subcommand(
        "new", "make a new simulated node: a state file with the factory configuration");
    auto* newNodeFileOption = nodeNew->add_option(
        "FILE", newNodeFile, "the state file to create (default: NAME.json in the network)");
    nodeNew->add_option("--name", newNodeName, "the node's name (default Node1)");
    std::string newNodeNetwork;
    nodeNew
        ->add_option("--network", newNodeNetwork,
                     "make the node in this network's folder (default: the simulated network)")
        ->excludes(newNodeFileOption);
    std::string nodesNetwork;
    bool nodesJson = false;
    auto* nodesCommand = app.add_subcommand(
        "nodes", "list the nodes of the simulated network: name, Program ID, state file");
    nodesCommand->add_option("--network", nodesNetwork,
                             "the network's folder (default: under the XDG state folder)");
    nodesCommand->add_flag("--json", nodesJson, "print JSON");
    auto* nodeShow = nodeCommand->add_subcommand(
        "show", "print a simulated node's name, Program ID and configuration, decoded");
    // The older spelling of `vireo node new`, kept for the scripts that use it.
    auto* newNode = app.add_subcommand("new-node", "");
    newNode->add_option("FILE", newNodeFile, "the state file to create")->required();
    newNode->add_option("--name", newNodeName, "the node's name (default Node1)");
    newNode->group("");
    std::string modulePath;
    auto* registerCommand = app.add_subcommand(
        "register", "register the plug-in module, so that nodes of its kind open with it");
    registerCommand->add_option("MODULE", modulePath,
                                "the plug-in module (default: the one installed with vireo)");
    auto* unregisterCommand =
        app.add_subcommand("unregister", "remove the plug-in module's registration");
    unregisterCommand->add_option("MODULE", modulePath,
                                  "the plug-in module (default: the one installed with vireo)");
    host::HistoryOptions historyOptions;
    auto* historyCommand =
        app.add_subcommand("history", "list the writes the plug-in made to nodes, decoded");
    historyCommand->add_option("--node", historyOptions.node, "only the writes to this node");
    historyCommand->add_option("--since", historyOptions.since,
                               "only the writes from this day on (YYYY-MM-DD)");
    auto* about = app.add_subcommand("about", "show the plug-in's About box");
    app.require_subcommand(0, 1);
    for (CLI::App* sub : {exportCommand, download, defaults, about, diff, nodeShow}) {
        sub->add_option("--node", options.nodeFile, "state file of the simulated node");
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // Usage errors exit with 2, help with 0.
        return app.exit(e) == 0 ? 0 : 2;
    }
    if (script->parsed()) {
        // Session scripts need no display: Qt runs offscreen.
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        int qtArgc = 1;
        return host::WithApplication(
            qtArgc, argv, [&] { return host::RunScriptFile(scriptFile, std::cout, std::cerr); });
    }
    if (nodeShow->parsed()) {
        return host::RunNodeShowCommand(options.nodeFile, std::cout, std::cerr);
    }
    if (nodesCommand->parsed()) {
        return host::RunNodesCommand(
            nodesNetwork.empty() ? host::DefaultNetworkPath() : nodesNetwork, nodesJson, std::cout,
            std::cerr);
    }
    if (nodeNew->parsed() && newNodeFile.empty()) {
        return host::RunNewNetworkNodeCommand(
            newNodeNetwork.empty() ? host::DefaultNetworkPath() : newNodeNetwork, newNodeName,
            std::cout, std::cerr);
    }
    if (newNode->parsed() || nodeNew->parsed()) {
        return host::RunNewNodeCommand(newNodeFile, newNodeName, std::cout, std::cerr);
    }
    if (registerCommand->parsed() || unregisterCommand->parsed()) {
        return host::RunRegisterCommand(modulePath.empty() ? host::DefaultModulePath() : modulePath,
                                        unregisterCommand->parsed(), std::cout, std::cerr);
    }
    if (historyCommand->parsed()) {
        return host::RunHistoryCommand(historyOptions, std::cout, std::cerr);
    }
    if (about->parsed()) {
        int qtArgc = 1;
        return host::RunAbout(qtArgc, argv, options);
    }
    command.nodeFile = options.nodeFile;
    command.progress = ProgressFor(quiet);
    for (CLI::App* sub : {exportCommand, download, defaults}) {
        if (!sub->parsed()) {
            continue;
        }
        if (const std::string misuse = ManyNodesMisuse(sub, many, !command.file.empty());
            !misuse.empty()) {
            std::cerr << "vireo " << sub->get_name() << ": " << misuse << '\n';
            return 2;
        }
        if (sub == exportCommand && !many.Wanted() && command.file.empty()) {
            std::cerr << "vireo export: FILE is required (or --nodes or --all with --out DIR)\n";
            return 2;
        }
    }
    if (exportCommand->parsed()) {
        return many.Wanted()
                   ? host::RunNetworkExport(NetworkOptionsOf(many, command), std::cout, std::cerr)
                   : host::RunExportCommand(command, std::cout, std::cerr);
    }
    if (show->parsed()) {
        return host::RunShowCommand(showFile, showJson, std::cout, std::cerr);
    }
    // A comparison's 1 means "different": an output that was lost is trouble.
    lostOutput = diff->parsed() || (download->parsed() && dryRun) ? host::kViewTrouble : 1;
    if (diff->parsed()) {
        return RunDiff(diffFiles, options.nodeFile, std::cout, std::cerr);
    }
    if (download->parsed() && dryRun) {
        return host::RunDiffNodeCommand({options.nodeFile, command.file, {}}, std::cout, std::cerr);
    }
    const char* writer = download->parsed() ? "download" : "defaults";
    command.takePassword = [&](std::string& password) {
        return TakePassword(writer, passwordOption, passwordFile, password);
    };
    if (download->parsed()) {
        return many.Wanted()
                   ? host::RunNetworkDownload(NetworkOptionsOf(many, command), std::cout, std::cerr)
                   : host::RunDownloadCommand(command, std::cout, std::cerr);
    }
    if (defaults->parsed()) {
        return many.Wanted()
                   ? host::RunNetworkDefaults(NetworkOptionsOf(many, command), std::cout, std::cerr)
                   : host::RunDefaultsCommand(command, std::cout, std::cerr);
    }
    if (!options.screenshotDir.empty()) {
        return host::RunScreenshots(argc, argv, options);
    }
    return host::RunGui(argc, argv, options);
}

// Output that could not be written (a full disk, a closed pipe) is a failure: one line on
// standard error and status lostOutput, whatever the command said before.
int CheckedOutput(int status, int lostOutput) {
    errno = 0;
    std::cout.flush();  // through to the C stream, whose fflush sets errno when it fails
    const int error = errno;
    if (std::fflush(stdout) == 0 && std::cout.good() && std::ferror(stdout) == 0) {
        return status;
    }
    std::cerr << "vireo: standard output could not be written"
              << (error != 0 ? std::string(": ") + std::strerror(error) : std::string()) << '\n';
    return lostOutput;
}

}  // namespace

// No error leaves the program as an abort: what nothing else caught is one line and status 1.
int main(int argc, char** argv) {
    // A file too large for the file-size limit is a write error (EFBIG) to report, not a signal
    // that kills us before the temporary file is removed.
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        int lostOutput = 1;
        const int status = Main(argc, argv, lostOutput);
        return CheckedOutput(status, lostOutput);
    } catch (const std::exception& e) {
        std::cerr << "vireo: unexpected error: " << e.what() << '\n';
    } catch (...) {
        std::cerr << "vireo: unexpected error\n";
    }
    return 1;
}
