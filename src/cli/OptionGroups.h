#pragma once
// The option groups of the command line, each declared once: the link to a real node, the
// many nodes of a network, the service password, and the options more than one subcommand
// takes. A function a group adds the group's options to any subcommand that needs them; its
// parsed values land in one struct.

#include <CLI/CLI.hpp>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/CommandLineRules.h"
#include "cli/Commands.h"
#include "cli/LinkCommands.h"
#include "cli/NetworkCommands.h"

namespace host {

// The service password of a download or the factory defaults, from the safest source given.
struct PasswordOptions {
    std::optional<std::string> option;
    std::optional<std::string> file;

    // The password, from the safest source given; false after a line that says why there is none.
    bool Take(const std::string& command, std::string& password) const;
};

// The options every command that writes the node takes for its service password.
void AddPasswordOptions(CLI::App* command, PasswordOptions& sources);

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

// An option that takes a number: its text must read as one that fits, else one line says what
// it takes.
CLI::Validator NumberCheck(bool (*fits)(double), const std::string& takes, const char* shown);

// A channel carries 1 to 1,000,000 node transactions a second, or 0 for no limit.
extern const CLI::Validator kChannelRate;

// The options more than one subcommand takes, each written once: its name and its help.
struct SharedOption {
    const char* name;
    const char* help;
};
inline constexpr SharedOption kStateFile{"--node", "state file of the simulated node"};
inline constexpr SharedOption kSource{"--source", "our own SUBNET/NODE (default 1/126)"};
inline constexpr SharedOption kDomain{"--domain", "the domain ID in hex (default: none)"};
inline constexpr SharedOption kNeuronId{"--neuron-id", "the node's Neuron ID (12 hex digits)"};
inline constexpr SharedOption kChannelKeyFile{
    "--auth-key-file", "a file holding the channel's MD5 secret (16 bytes in hex)"};
// A site's channels share one secret.
inline constexpr SharedOption kChannelsKeyFile{
    kChannelKeyFile.name, "a file holding the channels' MD5 secret (16 bytes in hex)"};
inline constexpr SharedOption kCapture{"--capture",
                                       "write every packet sent and received to this pcap file"};

template <typename T>
CLI::Option* AddShared(CLI::App* command, const SharedOption& option, T& value) {
    return command->add_option(option.name, value, option.help);
}

// Our side of a channel, as discovery and a new site take it: our address and domain, the UDP
// port we send from and the channel's secret, each with the help the subcommand gives it.
std::vector<CLI::Option*> AddOurSideOptions(CLI::App* command, std::string& source,
                                            std::string& domain, int& localPort,
                                            std::string& keyFile, const std::string& localPortHelp,
                                            const std::string& keyFileHelp);

// An export, a download or the factory defaults: on the node of --node, or on the nodes of a
// network that --nodes or --all name.
struct OperationOptions {
    host::CommandOptions command;
    ManyNodes many;
    bool quiet = false;
    PasswordOptions password;
    bool dryRun = false;  // the download's --dry-run
    host::LinkOptions link;
};

// The options that name a real node over a LON/IP router instead of the simulated one, by the
// router and its address or by its name in a site. siteAlone: --site without --node names the
// whole site (the GUI's start window), else it needs --node, --nodes or --all.
void AddLinkOptions(CLI::App* command, host::LinkOptions& link, host::OptionRules& rules,
                    const std::function<bool()>& manyNodes, CLI::Option* node,
                    bool siteAlone = false);

// The options the three operations share, after their own; the relations of the many-node
// options in the order they are reported. outDir: the export's --out, added to the group.
void AddOperationOptions(CLI::App* command, OperationOptions& operation, std::string& nodeFile,
                         host::OptionRules& rules, CLI::Option* outDir = nullptr);

// The node the link group and the state-file option name, as a command's options carry it (see
// CommandNodeOf): the router and address given, or the node of nodeFile (--node) in the site
// given, which then names no state file. The line that says which option is wrong, or nothing.
std::optional<std::string> ReadLinkGroup(const LinkOptions& options, std::string& nodeFile,
                                         std::optional<LinkSettings>& link);

}  // namespace host
