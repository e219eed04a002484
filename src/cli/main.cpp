// vireo: the host tool. Opens the configuration sheet on the simulated node, saves pictures of
// its pages, runs session scripts, and runs the settings-file operations from the command line.

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "cli/CommandLineRules.h"
#include "cli/Commands.h"
#include "cli/HistoryCommand.h"
#include "cli/LinkCommands.h"
#include "cli/NetworkCommands.h"
#include "cli/OptionGroups.h"
#include "cli/Password.h"
#include "cli/SiteCommands.h"
#include "cli/ViewCommands.h"
#include "host/Host.h"
#include "host/Plugin.h"
#include "script/ScriptRunner.h"
#include "sim/Network.h"
#include "sim/NodeStateFile.h"
#include "site/Site.h"

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

// What the subcommands share: the program's arguments (the ones that start Qt pass them on), the
// host's options with the node's state file, and the status of output that could not be written.
struct Program {
    int argc;
    char** argv;
    host::HostOptions options;
    int lostOutput = 1;
};

// A subcommand as CLI11 parsed it, the relations its options must keep, and what it does.
struct Subcommand {
    CLI::App* command;
    std::function<int()> run;
    host::OptionRules rules = {};
};

// Progress on a terminal is one line rewritten in place; elsewhere one line per step.
host::ProgressStyle ProgressFor(bool quiet) {
    if (quiet) {
        return host::ProgressStyle::Quiet;
    }
    return isatty(STDERR_FILENO) != 0 ? host::ProgressStyle::Terminal : host::ProgressStyle::Lines;
}

// The simulated plant runs some finite number of times faster than real time.
const CLI::Validator kSpeed =
    host::NumberCheck([](double speed) { return speed > 0; },
                      "how many times faster than real time, a number above 0", "POSITIVE");

// The link the options name, when they name one (see ReadLinkGroup); false after a line on
// std::cerr for wrong ones.
bool ReadLink(const host::LinkOptions& options, std::string& nodeFile, const std::string& name,
              std::optional<host::LinkSettings>& link) {
    if (const auto problem = host::ReadLinkGroup(options, nodeFile, link)) {
        std::cerr << "vireo " << name << ": " << *problem << '\n';
        return false;
    }
    return true;
}

host::NetworkOptions NetworkOptionsOf(const host::ManyNodes& many, const host::LinkOptions& link,
                                      const host::CommandOptions& command) {
    host::NetworkOptions options;
    options.site = link.site;
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

// Runs the operation on the node of --node, or on the nodes --nodes or --all name.
template <typename OneNode>
int RunOperation(const Program& program, host::OperationOptions& operation, const std::string& name,
                 OneNode oneNode,
                 int (*manyNodes)(host::NetworkOptions, std::ostream&, std::ostream&)) {
    host::CommandOptions& command = operation.command;
    command.nodeFile = program.options.nodeFile;
    operation.link.force = operation.link.force || command.force;
    if (!operation.many.Wanted() &&
        !ReadLink(operation.link, command.nodeFile, name, command.link)) {
        return 2;
    }
    command.progress = ProgressFor(operation.quiet);
    command.takePassword = [&operation, name](std::string& password) {
        return operation.password.Take(name, password);
    };
    return operation.many.Wanted()
               ? manyNodes(NetworkOptionsOf(operation.many, operation.link, command), std::cout,
                           std::cerr)
               : oneNode(command, std::cout, std::cerr);
}

int RunScript(const Program& program, const std::string& file, host::ScriptNode reach) {
    // Session scripts need no display: Qt runs offscreen.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    return host::WithApplication(qtArgc, program.argv, [&] {
        return host::RunScriptFile(file, std::cout, std::cerr, reach);
    });
}

Subcommand AddScript(CLI::App& app, Program& program) {
    struct Script {
        std::string file;
        bool overLink = false;
    };
    auto script = std::make_shared<Script>();
    auto* command = app.add_subcommand("script", "run a session script without a display");
    command->add_option("FILE", script->file, "the script, or - for standard input")->required();
    command->add_flag("--over-link", script->overLink,
                      "serve the script's node on a LON/IP channel at 127.0.0.1 and reach it "
                      "over the link");
    return {command, [&program, script] {
                return RunScript(
                    program, script->file,
                    script->overLink ? host::ScriptNode::OverLink : host::ScriptNode::InProcess);
            }};
}

Subcommand AddExport(CLI::App& app, Program& program) {
    auto operation = std::make_shared<host::OperationOptions>();
    auto* command =
        app.add_subcommand("export", "export the node's configuration to a settings file");
    command->add_option(
        "FILE", operation->command.file,
        "the settings file to write, or - for standard output (not with --nodes or --all)");
    auto* outDir = command->add_option(
        "--out", operation->many.outDir,
        "with --nodes or --all: the folder of the settings files, NAME.txt a node");
    command->add_flag("--force", operation->command.force,
                      "overwrite FILE (and the --capture file) when it exists");
    Subcommand exportCommand{command, [&program, operation] {
                                 return RunOperation(program, *operation, "export",
                                                     host::RunExportCommand,
                                                     host::RunNetworkExport);
                             }};
    host::AddOperationOptions(command, *operation, program.options.nodeFile, exportCommand.rules,
                              outDir);
    const auto wanted = [&many = operation->many] { return many.Wanted(); };
    const auto hasFile = [&file = operation->command.file] { return !file.empty(); };
    exportCommand.rules
        .Excludes(hasFile, wanted,
                  "with --nodes or --all the settings files go into --out DIR, one a node")
        .Needs(wanted, host::OptionRules::Given(outDir),
               "--out DIR is needed with --nodes or --all: the folder of the settings files")
        .Required([=] { return hasFile() || wanted(); },
                  "FILE is required (or --nodes or --all with --out DIR)");
    return exportCommand;
}

int RunDownload(Program& program, host::OperationOptions& download) {
    if (download.dryRun) {
        // A comparison's 1 means "different": an output that was lost is trouble.
        program.lostOutput = host::kViewTrouble;
        host::NodeDiffOptions diff{program.options.nodeFile, download.command.file, {}, {}};
        if (!ReadLink(download.link, diff.nodeFile, "download", diff.link)) {
            return 2;
        }
        return host::RunDiffNodeCommand(diff, std::cout, std::cerr);
    }
    return RunOperation(program, download, "download", host::RunDownloadCommand,
                        host::RunNetworkDownload);
}

Subcommand AddDownload(CLI::App& app, Program& program) {
    auto operation = std::make_shared<host::OperationOptions>();
    auto* command = app.add_subcommand("download", "download a settings file into the node");
    command->add_option("FILE", operation->command.file, "the settings file to read")->required();
    host::AddPasswordOptions(command, operation->password);
    command->add_flag("--yes", operation->command.yes,
                      "download even when the file's Program ID differs from the node kind's");
    auto* dryRunFlag =
        command->add_flag("--dry-run", operation->dryRun,
                          "list what the download would change and write nothing (no password)");
    Subcommand download{command,
                        [&program, operation] { return RunDownload(program, *operation); }};
    host::AddOperationOptions(command, *operation, program.options.nodeFile, download.rules);
    download.rules.Excludes(
        host::OptionRules::Given(dryRunFlag), [&many = operation->many] { return many.Wanted(); },
        "--dry-run looks at one node");
    return download;
}

Subcommand AddShow(CLI::App& app) {
    struct Show {
        std::string file;
        bool json = false;
    };
    auto show = std::make_shared<Show>();
    auto* command = app.add_subcommand(
        "show", "show a settings file's values and the lines a download would skip or refuse");
    command->add_option("FILE", show->file, "the settings file")->required();
    command->add_flag("--json", show->json, "print JSON");
    return {command,
            [show] { return host::RunShowCommand(show->file, show->json, std::cout, std::cerr); }};
}

// `vireo diff A B` compares two files; `vireo diff FILE [--node STATE]` a file with the node.
int RunDiff(Program& program, const std::vector<std::string>& files,
            const host::LinkOptions& link) {
    // A comparison's 1 means "different": an output that was lost is trouble.
    program.lostOutput = host::kViewTrouble;
    const std::string& nodeFile = program.options.nodeFile;
    if (files.size() == 1) {
        host::NodeDiffOptions diff{nodeFile, files.front(), {}, {}};
        if (!ReadLink(link, diff.nodeFile, "diff", diff.link)) {
            return 2;
        }
        return host::RunDiffNodeCommand(diff, std::cout, std::cerr);
    }
    if (!nodeFile.empty() || link.Given() || link.SiteGiven()) {
        std::cerr << "vireo diff: "
                  << (link.Given()       ? "--link"
                      : link.SiteGiven() ? "--site"
                                         : "--node")
                  << " compares the node with one settings file, not two\n";
        return host::kViewTrouble;
    }
    return host::RunDiffFilesCommand(files[0], files[1], std::cout, std::cerr);
}

Subcommand AddDiff(CLI::App& app, Program& program) {
    auto files = std::make_shared<std::vector<std::string>>();
    auto* command = app.add_subcommand(
        "diff",
        "compare two settings files, or a settings file with the node (exit 0 equal, "
        "1 different, 2 trouble)");
    command->add_option("FILE", *files, "one settings file (compared with the node) or two")
        ->required()
        ->expected(1, 2);
    auto* node = host::AddShared(command, host::kStateFile, program.options.nodeFile);
    auto link = std::make_shared<host::LinkOptions>();
    Subcommand diff{command, [&program, files, link] { return RunDiff(program, *files, *link); }};
    host::AddLinkOptions(
        command, *link, diff.rules, [] { return false; }, node);
    return diff;
}

Subcommand AddDefaults(CLI::App& app, Program& program) {
    auto operation = std::make_shared<host::OperationOptions>();
    auto* command = app.add_subcommand("defaults", "restore the node's factory settings");
    host::AddPasswordOptions(command, operation->password);
    Subcommand defaults{command, [&program, operation] {
                            return RunOperation(program, *operation, "defaults",
                                                host::RunDefaultsCommand, host::RunNetworkDefaults);
                        }};
    host::AddOperationOptions(command, *operation, program.options.nodeFile, defaults.rules);
    return defaults;
}

// A new simulated node: its state file, or NAME.json in a network.
struct NewNode {
    std::string file;
    std::string name = "Node1";
    std::string network;
};

int RunNodeNew(const NewNode& node) {
    if (!node.file.empty()) {
        return host::RunNewNodeCommand(node.file, node.name, std::cout, std::cerr);
    }
    return host::RunNewNetworkNodeCommand(
        node.network.empty() ? host::DefaultNetworkPath() : node.network, node.name, std::cout,
        std::cerr);
}

Subcommand AddNodeNew(CLI::App& node) {
    auto newNode = std::make_shared<NewNode>();
    auto* command = node.add_subcommand(
        "new", "make a new simulated node: a state file with the factory configuration");
    auto* file = command->add_option(
        "FILE", newNode->file, "the state file to create (default: NAME.json in the network)");
    command->add_option("--name", newNode->name, "the node's name (default Node1)");
    command
        ->add_option("--network", newNode->network,
                     "make the node in this network's folder (default: the simulated network)")
        ->excludes(file);
    return {command, [newNode] { return RunNodeNew(*newNode); }};
}

Subcommand AddNodeShow(CLI::App& node, Program& program) {
    auto* command = node.add_subcommand(
        "show",
        "print a node's name, Program ID and configuration, decoded: a simulated node's "
        "from its state file, a real one's (--link) read as the export reads it");
    auto* nodeOption = host::AddShared(command, host::kStateFile, program.options.nodeFile);
    auto link = std::make_shared<host::LinkOptions>();
    Subcommand show{command, [&program, link] {
                        std::optional<host::LinkSettings> settings;
                        if (!ReadLink(*link, program.options.nodeFile, "node show", settings)) {
                            return 2;
                        }
                        return settings
                                   ? host::RunLinkedNodeShowCommand(*settings, std::cout, std::cerr)
                                   : host::RunNodeShowCommand(program.options.nodeFile, std::cout,
                                                              std::cerr);
                    }};
    host::AddLinkOptions(
        command, *link, show.rules, [] { return false; }, nodeOption);
    return show;
}

// How a served router takes its members: strict as a real one unless --open.
void AddServedRouting(CLI::App* command, host::ServedRouting& routing) {
    auto* group = command->add_option_group("Channel members");
    auto* open = group->add_flag("--open", routing.open,
                                 "forward for anyone, as no real router does (a quick try)");
    group
        ->add_option("--member", routing.members,
                     "HOST:PORT: a member of the channel the router forwards for, besides "
                     "those its configuration server lists")
        ->excludes(open);
    group->add_flag("--time-synced", routing.timeSynced,
                    "the router's clock follows a time server: it stamps its packets and drops "
                    "stale ones");
}

Subcommand AddNodeServe(CLI::App& node) {
    auto options = std::make_shared<host::ServeOptions>();
    auto* command =
        node.add_subcommand("serve",
                            "serve a simulated node on a LON/IP channel at 127.0.0.1 until Ctrl+C "
                            "(SIGUSR1 sends its service pin message)");
    host::AddShared(command, host::kStateFile, options->nodeFile);
    command->add_option("--port", options->port, "the UDP port (default 1628; 0: any free one)")
        ->check(CLI::Range(0, 65535));
    command->add_option("--address", options->address, "the node's SUBNET/NODE (default 1/5)");
    host::AddShared(command, host::kNeuronId, options->neuronId);
    host::AddShared(command, host::kDomain, options->domain);
    auto* faults = command->add_option_group("Faults");
    host::ServedFaults& f = options->faults;
    faults->add_option("--drop-every", f.dropEvery, "lose every Nth packet to the node")
        ->check(CLI::NonNegativeNumber);
    faults->add_option("--drop-percent", f.dropPercent, "lose this share of the packets")
        ->check(CLI::Range(0, 100));
    faults->add_option("--duplicate-every", f.duplicateEvery, "send every Nth answer twice")
        ->check(CLI::NonNegativeNumber);
    faults
        ->add_option("--reorder-every", f.reorderEvery,
                     "send every Nth answer after the next one (out of sequence)")
        ->check(CLI::NonNegativeNumber);
    faults
        ->add_option_function<int>(
            "--late", [&f](int ms) { f.late = lon::Millis(ms); },
            "send each answer this many milliseconds late")
        ->check(CLI::Range(0, 60000));
    host::AddShared(command, host::kChannelKeyFile, options->keyFile);
    command->add_flag("--paced", options->paced,
                      "answer at the pace of an FT-10 channel (78.125 kbit/s, 70 % usable)");
    command->add_flag("--unconfigured", options->unconfigured,
                      "answer a query ID of the unconfigured nodes, as a new node does");
    AddServedRouting(command, options->routing);
    faults->add_flag("--silent", f.silent, "answer nothing");
    faults->add_option("--refuse-nv", f.refusedNvs, "never take an update of this NV")
        ->check(CLI::Range(0, 0x3FFF));
    faults->add_option("--seed", f.seed, "the seed of --drop-percent's losses");
    return {command, [options] { return host::RunServeCommand(*options, std::cout, std::cerr); }};
}

Subcommand AddSiteServe(CLI::App& site) {
    auto options = std::make_shared<host::SiteServeOptions>();
    auto* command = site.add_subcommand(
        "serve",
        "serve every node of a simulated network's folder on LON/IP channels at 127.0.0.1 until "
        "Ctrl+C (SIGUSR1 sends every node's service pin message)");
    command->add_option("DIR", options->folder, "the simulated network's folder")->required();
    command->add_option("--channels", options->channels, "how many channels (default 1)")
        ->check(CLI::Range(1, 255));
    command
        ->add_option("--port", options->port,
                     "channel k's UDP port is PORT + k - 1 (default 1628; 0: any free ones)")
        ->check(CLI::Range(0, 65535));
    auto* paced = command->add_flag(
        "--paced", options->paced, "answer at the pace of an FT-10 channel, per channel (default)");
    command
        ->add_flag_callback(
            "--unpaced", [options] { options->paced = false; }, "answer at once")
        ->excludes(paced);
    host::AddShared(command, host::kChannelsKeyFile, options->keyFile);
    AddServedRouting(command, options->routing);
    auto* faults = command->add_option_group("Faults");
    faults->add_option("--late", options->late, "NAME=MS: that node answers MS milliseconds late");
    faults->add_option("--silent-channel", options->silentChannels,
                       "channel K's router answers nothing");
    return {command,
            [options] { return host::RunSiteServeCommand(*options, std::cout, std::cerr); }};
}

Subcommand AddDiscover(CLI::App& app) {
    struct Discover {
        host::LinkOptions link;
        int wait = 3;
        bool save = false;
        int mostNew = host::kMostNewNodes;
    };
    auto discover = std::make_shared<Discover>();
    auto* command = app.add_subcommand(
        "discover",
        "list the nodes behind a LON/IP router, or on every channel of a site: every node of the "
        "domain that answers a query, and those whose service pin is pressed");
    auto* url =
        command->add_option("--link", discover->link.link, "the router: lonip://ROUTER[:PORT]");
    auto* site =
        command->add_option("--site", discover->link.site, "listen on every channel of this site")
            ->excludes(url);
    command
        ->add_flag("--save", discover->save,
                   "with --site: add the new nodes to the site, and take the "
                   "ones that moved to their new address")
        ->needs(site);
    command
        ->add_option("--most-new", discover->mostNew,
                     "with --site: keep at most N new nodes, and say how many more were heard "
                     "(default " +
                         std::to_string(host::kMostNewNodes) + ")")
        ->check(CLI::Range(1, 1000000))
        ->needs(site);
    host::LinkOptions& link = discover->link;
    std::vector<CLI::Option*> linkOnly =
        host::AddOurSideOptions(command, link.source, link.domain, link.localPort, link.keyFile,
                                "the UDP port we send from, as the router's member list has it",
                                host::kChannelKeyFile.help);
    linkOnly.push_back(host::AddShared(command, host::kCapture, link.capture));
    linkOnly.push_back(
        command->add_flag("--force", link.force, "replace the --capture file when it exists"));
    for (CLI::Option* option : linkOnly) {
        option->needs(url);
    }
    command->add_option("--wait", discover->wait, "seconds to listen (default 3)")
        ->check(CLI::Range(1, 3600));
    Subcommand run{command, [discover] {
                       return discover->link.SiteGiven()
                                  ? host::RunDiscoverSiteCommand(
                                        discover->link.site, discover->wait, discover->save,
                                        std::cout, std::cerr, discover->mostNew)
                                  : host::RunDiscoverCommand(discover->link, discover->wait,
                                                             std::cout, std::cerr);
                   }};
    run.rules.Required([discover] { return discover->link.Given() || discover->link.SiteGiven(); },
                       "--link lonip://ROUTER or --site NAME is required");
    return run;
}

Subcommand AddNodes(CLI::App& app) {
    struct Nodes {
        std::string network;
        std::string site;
        bool json = false;
    };
    auto nodes = std::make_shared<Nodes>();
    auto* command = app.add_subcommand(
        "nodes",
        "list the nodes of the simulated network (name, Program ID, state file), or of a site");
    auto* network = command->add_option(
        "--network", nodes->network, "the network's folder (default: under the XDG state folder)");
    command
        ->add_option("--site", nodes->site,
                     "list the site's channels and nodes: address, Neuron ID, Program ID, when "
                     "last seen, and whether a registered plug-in serves it")
        ->excludes(network);
    command->add_flag("--json", nodes->json, "print JSON");
    return {command, [nodes] {
                if (!nodes->site.empty()) {
                    return host::RunSiteNodesCommand(nodes->site, nodes->json, std::cout,
                                                     std::cerr);
                }
                return host::RunNodesCommand(
                    nodes->network.empty() ? host::DefaultNetworkPath() : nodes->network,
                    nodes->json, std::cout, std::cerr);
            }};
}

// `vireo site new|secret|list|rename`.
void AddSite(CLI::App& app, std::vector<Subcommand>& subcommands) {
    auto* site = app.add_subcommand(
        "site", "keep the sites (routers, channels and their nodes), and serve a simulated one");
    site->require_subcommand(1);
    auto made = std::make_shared<host::SiteNewOptions>();
    auto* create = site->add_subcommand(
        "new", "write a new site file: its routers (one a channel), our address and domain");
    create->add_option("NAME", made->name, "the site's name")->required();
    create->add_option("--link", made->links, "a router: lonip://ROUTER[:PORT]; one a channel")
        ->required();
    host::AddOurSideOptions(
        create, made->source, made->domain, made->localPort, made->keyFile,
        "the UDP port we send from, as the routers' member lists have it",
        std::string(host::kChannelsKeyFile.help) + ", kept apart from the site file");
    create->add_flag("--time-synced", made->timeSynced,
                     "this PC's clock follows a time server (NTP): packets carry the time");
    create->add_option("--config-server", made->configServer,
                       "HOST:PORT of the channel's configuration server, where it has one");
    subcommands.push_back(
        {create, [made] { return host::RunSiteNewCommand(*made, std::cout, std::cerr); }});

    auto keyed = std::make_shared<std::pair<std::string, std::string>>();
    auto* secret = site->add_subcommand(
        "secret", "authenticate the site's channels with the MD5 secret of a file");
    secret->add_option("NAME", keyed->first, "the site")->required();
    secret->add_option(host::kChannelKeyFile.name, keyed->second, "the secret (16 bytes in hex)")
        ->required();
    subcommands.push_back({secret, [keyed] {
                               return host::RunSiteSecretCommand(keyed->first, keyed->second,
                                                                 std::cout, std::cerr);
                           }});

    auto json = std::make_shared<bool>(false);
    auto* list = site->add_subcommand("list", "list the sites with their channels and nodes");
    list->add_flag("--json", *json, "print JSON");
    subcommands.push_back(
        {list, [json] { return host::RunSiteListCommand(*json, std::cout, std::cerr); }});
    subcommands.push_back(AddSiteServe(*site));

    auto configure = std::make_shared<std::pair<std::string, host::ConfigureOptions>>();
    auto* configureCommand = site->add_subcommand(
        "configure",
        "act as the configuration server of the site's IP channel: make its routers and this PC "
        "the channel's members, and print each member's state");
    configureCommand->add_option("NAME", configure->first, "the site")->required();
    configureCommand
        ->add_option("--channel-timeout", configure->second.channelTimeout,
                     "ms a packet may take before it is stale; 0: never (default: as last time, "
                     "else 1000)")
        ->check(CLI::Range(0, 65535));
    configureCommand->add_option(host::kCapture.name, configure->second.capture.path,
                                 "write every configuration packet to this pcap file");
    configureCommand->add_flag("--force", configure->second.capture.replace,
                               "replace the --capture file when it exists");
    subcommands.push_back({configureCommand, [configure] {
                               return host::RunSiteConfigureCommand(
                                   configure->first, configure->second, std::cout, std::cerr);
                           }});

    auto shown = std::make_shared<std::string>();
    auto* show = site->add_subcommand(
        "show",
        "show a site: its links, its channel's members and how the last configuration went");
    show->add_option("NAME", *shown, "the site")->required();
    subcommands.push_back(
        {show, [shown] { return host::RunSiteShowCommand(*shown, std::cout, std::cerr); }});

    auto registering = std::make_shared<std::pair<std::string, int>>("", 5);
    auto* registerCommand = site->add_subcommand(
        "register",
        "register this PC (each link's local port) with the site's configuration server");
    registerCommand->add_option("NAME", registering->first, "the site")->required();
    registerCommand
        ->add_option("--wait", registering->second,
                     "seconds to wait for the server's configuration (default 5)")
        ->check(CLI::Range(1, 3600));
    subcommands.push_back({registerCommand, [registering] {
                               return host::RunSiteRegisterCommand(
                                   registering->first, registering->second, std::cout, std::cerr);
                           }});

    auto names = std::make_shared<std::vector<std::string>>();
    auto* rename = site->add_subcommand("rename", "give a node of a site another name");
    rename->add_option("SITE NODE NEW", *names, "the site, the node's name and its new name")
        ->expected(3)
        ->required();
    subcommands.push_back({rename, [names] {
                               return host::RunSiteRenameCommand((*names)[0], (*names)[1],
                                                                 (*names)[2], std::cout, std::cerr);
                           }});
}

// The older spelling of `vireo node new`, kept for the scripts that use it.
Subcommand AddNewNode(CLI::App& app) {
    auto newNode = std::make_shared<NewNode>();
    auto* command = app.add_subcommand("new-node", "");
    command->add_option("FILE", newNode->file, "the state file to create")->required();
    command->add_option("--name", newNode->name, "the node's name (default Node1)");
    command->group("");
    return {command, [newNode] {
                return host::RunNewNodeCommand(newNode->file, newNode->name, std::cout, std::cerr);
            }};
}

// `vireo register` and `vireo unregister`.
Subcommand AddRegistration(CLI::App& app, bool remove) {
    auto module = std::make_shared<std::string>();
    auto* command =
        remove ? app.add_subcommand("unregister", "remove the plug-in module's registration")
               : app.add_subcommand(
                     "register",
                     "register the plug-in module, so that nodes of its kind open with it");
    command->add_option("MODULE", *module,
                        "the plug-in module (default: the one installed with vireo)");
    return {command, [module, remove] {
                return host::RunRegisterCommand(
                    module->empty() ? host::DefaultModulePath() : *module, remove, std::cout,
                    std::cerr);
            }};
}

Subcommand AddHistory(CLI::App& app) {
    auto options = std::make_shared<host::HistoryOptions>();
    auto* command =
        app.add_subcommand("history", "list the writes the plug-in made to nodes, decoded");
    auto* node = command->add_option("--node", options->node, "only the writes to this node");
    command->add_option("--site", options->site, "the node of --node is this site's")->needs(node);
    command->add_option("--since", options->since, "only the writes from this day on (YYYY-MM-DD)");
    return {command, [options] { return host::RunHistoryCommand(*options, std::cout, std::cerr); }};
}

Subcommand AddAbout(CLI::App& app, Program& program) {
    auto* command = app.add_subcommand("about", "show the plug-in's About box");
    host::AddShared(command, host::kStateFile, program.options.nodeFile);
    return {command, [&program] {
                int qtArgc = 1;
                return host::RunAbout(qtArgc, program.argv, program.options);
            }};
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

// lostOutput: the status a command ends with when its output could not be written.
int Main(int argc, char** argv, int& lostOutput) {
    EnsureRuntimeDir();
    CLI::App app{"Vireo: configuration of the heating controller node", "vireo"};
    app.set_version_flag("--version", std::string("vireo ") + VIREO_VERSION);
    app.footer(HelpFooter());
    Program program{argc, argv, {}};
    host::HostOptions& options = program.options;
    auto* nodeOption = app.add_option(
        host::kStateFile.name, options.nodeFile,
        std::string(host::kStateFile.help) + " (default: under the XDG state folder)");
    host::LinkOptions guiLink;
    host::OptionRules guiRules;
    host::AddLinkOptions(
        &app, guiLink, guiRules, [] { return false; }, nodeOption, true);
    app.add_option("--screenshot", options.screenshotDir,
                   "save a PNG of every tab, rendered offscreen, into this folder and exit");
    app.add_option("--speed", options.speed,
                   "how much faster than real time the simulated heating plant runs (default 1; "
                   "60 makes a day pass in 24 minutes)")
        ->check(kSpeed);

    // In the order the help lists them.
    std::vector<Subcommand> subcommands;
    subcommands.push_back(AddScript(app, program));
    subcommands.push_back(AddExport(app, program));
    subcommands.push_back(AddDownload(app, program));
    subcommands.push_back(AddShow(app));
    subcommands.push_back(AddDiff(app, program));
    subcommands.push_back(AddDefaults(app, program));
    auto* node = app.add_subcommand("node", "make and look at simulated nodes");
    node->require_subcommand(1);
    subcommands.push_back(AddNodeNew(*node));
    subcommands.push_back(AddNodes(app));
    subcommands.push_back(AddNodeShow(*node, program));
    subcommands.push_back(AddNodeServe(*node));
    subcommands.push_back(AddDiscover(app));
    AddSite(app, subcommands);
    subcommands.push_back(AddNewNode(app));
    subcommands.push_back(AddRegistration(app, false));
    subcommands.push_back(AddRegistration(app, true));
    subcommands.push_back(AddHistory(app));
    subcommands.push_back(AddAbout(app, program));
    app.require_subcommand(0, 1);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // Usage errors exit with 2, help with 0.
        return app.exit(e) == 0 ? 0 : 2;
    }
    for (const Subcommand& subcommand : subcommands) {
        if (!subcommand.command->parsed()) {
            continue;
        }
        if (const auto misuse = subcommand.rules.Broken()) {
            std::cerr << "vireo " << subcommand.command->get_name() << ": " << *misuse << '\n';
            return 2;
        }
        const int status = subcommand.run();
        lostOutput = program.lostOutput;
        return status;
    }
    if (const auto misuse = guiRules.Broken()) {
        std::cerr << "vireo: " << *misuse << '\n';
        return 2;
    }
    // The sites: --site alone opens the start window on one, with --node the sheet on that node
    // of it; plain vireo starts from the start window once a site file exists.
    std::string noSites;
    if (guiLink.SiteGiven() && !options.nodeFile.empty()) {
        return host::RunGuiOnSiteNode(argc, argv, guiLink.site, options.nodeFile);
    }
    options.site = guiLink.site;
    if (guiLink.SiteGiven() || (options.screenshotDir.empty() && options.nodeFile.empty() &&
                                !guiLink.Given() && !host::ListSites(noSites).empty())) {
        return host::RunStartWindow(argc, argv, options);
    }
    if (!options.screenshotDir.empty()) {
        return host::RunScreenshots(argc, argv, options);
    }
    if (!ReadLink(guiLink, options.nodeFile, "", options.link)) {
        return 2;
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
