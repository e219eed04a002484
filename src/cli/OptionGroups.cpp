#include "cli/OptionGroups.h"

#include <cmath>
#include <iostream>

#include "cli/Password.h"
#include "host/SecretStore.h"
#include "sim/Network.h"

namespace host {

bool PasswordOptions::Take(const std::string& command, std::string& password) const {
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
void AddPasswordOptions(CLI::App* command, PasswordOptions& sources) {
    auto* group = command->add_option_group("Service password");
    auto* fileOption =
        group->add_option("--password-file", sources.file,
                          "read the service password from the first line of this file");
    group
        ->add_option("--password", sources.option,
                     "the service password (visible to other users in ps and kept in the "
                     "shell's history: prefer --password-file or VIREO_PASSWORD)")
        ->excludes(fileOption);
}

// An option that takes a number: its text must read as one that fits, else one line says what
// it takes.
CLI::Validator NumberCheck(bool (*fits)(double), const std::string& takes, const char* shown) {
    return {
        [fits, takes](std::string& text) {
            double number = 0;
            if (CLI::detail::lexical_cast(text, number) && std::isfinite(number) && fits(number)) {
                return std::string();
            }
            return takes + "; not " + text;
        },
        shown};
}

const CLI::Validator kChannelRate =
    NumberCheck([](double rate) { return rate == 0 || (rate >= 1 && rate <= 1e6); },
                "node transactions a second, 1 to 1000000, or 0 for no limit", "0 or 1-1000000");

// The options that name a real node over a LON/IP router instead of the simulated one, by the
// router and its address or by its name in a site. siteAlone: --site without --node names the
// whole site (the GUI's start window), else it needs --node, --nodes or --all.
void AddLinkOptions(CLI::App* command, host::LinkOptions& link, host::OptionRules& rules,
                    const std::function<bool()>& manyNodes, CLI::Option* node, bool siteAlone) {
    auto* group = command->add_option_group("Real node");
    auto* url = group->add_option("--link", link.link,
                                  "reach a real node through this LON/IP router: "
                                  "lonip://ROUTER[:PORT] (port 1628 unless given)");
    auto* site = group
                     ->add_option("--site", link.site,
                                  "reach the nodes of this site: its node of --node NAME, or its "
                                  "nodes of --nodes or --all")
                     ->excludes(url);
    auto* capture = AddShared(group, kCapture, link.capture);
    const std::vector<CLI::Option*> needsLink = {
        group->add_option("--address", link.address, "the node's SUBNET/NODE"),
        AddShared(group, kNeuronId, link.neuronId),
        AddShared(group, kSource, link.source),
        AddShared(group, kDomain, link.domain),
        group->add_option("--local-port", link.localPort,
                          "the UDP port we send from, as the router's member list has it "
                          "(default: any free one)"),
        capture,
        group->add_option("--retries", link.retries, "tries after the first (default 3)"),
        group->add_option("--transmit-timer", link.transmitTimer,
                          "the wait for an answer, as a code 0-15 (default 10: 512 ms)"),
        group->add_option("--name", link.name, "the node's name (default: its Neuron ID)"),
        AddShared(group, kChannelKeyFile, link.keyFile),
        group->add_flag("--time-synced", link.timeSynced,
                        "this PC's clock follows a time server (NTP): packets carry the time and "
                        "stale ones are dropped")};
    // The export's --force replaces its settings file and the capture alike.
    if (command->get_option_no_throw("--force") == nullptr) {
        auto* force =
            group->add_flag("--force", link.force, "replace the --capture file when it exists");
        rules.Needs(host::OptionRules::Given(force), host::OptionRules::Given(capture),
                    "--force goes with --capture");
    }
    const auto linked = host::OptionRules::Given(url);
    for (const CLI::Option* option : needsLink) {
        rules.Needs(host::OptionRules::Given(option), linked,
                    option->get_name() + " goes with --link");
    }
    rules.Excludes(linked, host::OptionRules::Given(node),
                   "--link reaches a real node; --node names a simulated one");
    rules.Excludes(linked, manyNodes, "--link reaches one node; --nodes and --all a network");
    if (!siteAlone) {
        const auto named = [node, manyNodes] { return node->count() > 0 || manyNodes(); };
        rules.Needs(host::OptionRules::Given(site), named,
                    "--site needs the node: --node NAME (or --nodes A,B or --all)");
    }
}

// The options the three operations share, after their own; the relations of the many-node
// options in the order they are reported. outDir: the export's --out, added to the group.
void AddOperationOptions(CLI::App* command, OperationOptions& operation, std::string& nodeFile,
                         host::OptionRules& rules, CLI::Option* outDir) {
    ManyNodes& many = operation.many;
    command->add_flag("--quiet", operation.quiet, "print only the result line");
    command->add_flag("--no-wait", operation.command.noWait,
                      "fail at once when another process is using the node, instead of waiting "
                      "for it");
    auto* group = command->add_option_group("Many nodes");
    auto* names =
        group->add_option("--nodes", many.names, "the nodes of the network, by name: A,B,...")
            ->delimiter(',');
    group->add_flag("--all", many.all, "every node of the network")->excludes(names);
    std::vector<CLI::Option*> manyOnly = {
        group->add_option("--network", many.network,
                          "the network's folder of node state files (default: under the XDG "
                          "state folder)"),
        group
            ->add_option("--jobs", many.jobs,
                         "how many nodes at once (default: as many as the channel carries, "
                         "within the open-file limit)")
            ->check(CLI::PositiveNumber),
        group->add_flag("--json", many.json, "print the summary as JSON"),
        group
            ->add_option("--channel-rate", many.channelRate,
                         "node transactions a second the network's channel carries (default "
                         "200, a twisted-pair channel; 0: no limit)")
            ->check(kChannelRate)};
    if (outDir != nullptr) {
        group->add_option(outDir);
        manyOnly.push_back(outDir);
    }
    auto* node = AddShared(command, kStateFile, nodeFile);
    const auto wanted = [&many] { return many.Wanted(); };
    const auto site = [&link = operation.link] { return link.SiteGiven(); };
    rules.Excludes(host::OptionRules::Given(manyOnly.front()), site,
                   "--network names a simulated network; --site a site of real nodes");
    for (const CLI::Option* option : manyOnly) {
        rules.Needs(host::OptionRules::Given(option), wanted,
                    option->get_name() + " goes with --nodes or --all");
    }
    rules.Excludes(host::OptionRules::Given(node), wanted,
                   "--node names one node; --nodes and --all name nodes of a network");
    AddLinkOptions(command, operation.link, rules, wanted, node);
}

std::vector<CLI::Option*> AddOurSideOptions(CLI::App* command, std::string& source,
                                            std::string& domain, int& localPort,
                                            std::string& keyFile, const std::string& localPortHelp,
                                            const std::string& keyFileHelp) {
    return {AddShared(command, kSource, source), AddShared(command, kDomain, domain),
            command->add_option("--local-port", localPort, localPortHelp),
            command->add_option(kChannelKeyFile.name, keyFile, keyFileHelp)};
}

std::optional<std::string> ReadLinkGroup(const LinkOptions& options, std::string& nodeFile,
                                         std::optional<LinkSettings>& link) {
    LinkSettings settings;
    if (options.SiteGiven()) {
        if (auto problem = SiteNodeSettings(options.site, nodeFile, settings)) {
            return problem;
        }
        nodeFile.clear();
        link = settings;
        return std::nullopt;
    }
    if (!options.Given()) {
        return std::nullopt;
    }
    if (auto problem = ReadLinkOptions(options, settings)) {
        return problem;
    }
    link = settings;
    return std::nullopt;
}

}  // namespace host
