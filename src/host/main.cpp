// vireo: the host tool. Opens the configuration sheet on the simulated node, saves pictures of
// its pages, runs session scripts, and runs the settings-file operations from the command line.

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "host/Commands.h"
#include "host/HistoryCommand.h"
#include "host/Host.h"
#include "host/NodeStateFile.h"
#include "host/Password.h"
#include "host/Plugin.h"
#include "host/ScriptRunner.h"
#include "host/ViewCommands.h"

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

std::string HelpFooter() {
    return "Without --node the simulated node's state file is " + host::DefaultNodeStatePath() +
           ".\nThe service password comes from --password, --password-file or VIREO_PASSWORD, "
           "in that order, else it is asked for on the terminal.\nExit status: 0 done; 1 the "
           "operation failed or did not complete; 2 wrong usage. diff: 0 equal, 1 different, "
           "2 trouble.";
}

}  // namespace

namespace {

int Main(int argc, char** argv) {
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
    exportCommand
        ->add_option("FILE", command.file, "the settings file to write, or - for standard output")
        ->required();
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
    }
    std::string newNodeFile;
    std::string newNodeName = "Node1";
    auto* nodeCommand = app.add_subcommand("node", "make and look at simulated nodes");
    nodeCommand->require_subcommand(1);
    auto* nodeNew = nodeCommand->add_subcommand(
        "new", "make a new simulated node: a state file with the factory configuration");
    nodeNew->add_option("FILE", newNodeFile, "the state file to create")->required();
    nodeNew->add_option("--name", newNodeName, "the node's name (default Node1)");
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
        return host::RunScriptWithApp(qtArgc, argv, scriptFile);
    }
    if (nodeShow->parsed()) {
        return host::RunNodeShowCommand(options.nodeFile, std::cout, std::cerr);
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
    if (exportCommand->parsed()) {
        return host::RunExportCommand(command, std::cout, std::cerr);
    }
    if (show->parsed()) {
        return host::RunShowCommand(showFile, showJson, std::cout, std::cerr);
    }
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
        return host::RunDownloadCommand(command, std::cout, std::cerr);
    }
    if (defaults->parsed()) {
        return host::RunDefaultsCommand(command, std::cout, std::cerr);
    }
    if (!options.screenshotDir.empty()) {
        return host::RunScreenshots(argc, argv, options);
    }
    return host::RunGui(argc, argv, options);
}

}  // namespace

// No error leaves the program as an abort: what nothing else caught is one line and status 1.
int main(int argc, char** argv) {
    try {
        return Main(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "vireo: unexpected error: " << e.what() << '\n';
    } catch (...) {
        std::cerr << "vireo: unexpected error\n";
    }
    return 1;
}
