#include "cli/SiteCommands.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <ostream>
#include <system_error>

#include "cli/LinkCommands.h"
#include "cli/TableRenderer.h"
#include "framework/QuoteText.h"
#include "framework/Registry.h"
#include "host/Plugin.h"
#include "host/SecretStore.h"
#include "sim/Network.h"
#include "sim/SimNode.h"
#include "site/SiteDiscovery.h"
#include "site/SiteSecret.h"

namespace host {
namespace {

// "registered", "none", or "?" for a node whose Program ID the site does not know yet.
std::string PluginColumn(const RegisteredPlugins& plugins, const std::string& programId) {
    const std::string served = plugins.Serves(programId);
    return served.empty() ? "?" : served;
}

void PrintNodes(const Site& site, const RegisteredPlugins& plugins, std::ostream& out) {
    TableRenderer table({{"Node"},
                         {"Channel", TableRenderer::Align::Right},
                         {"Address"},
                         {"Neuron ID"},
                         {"Program ID"},
                         {"Last seen"},
                         {"Plug-in"}});
    for (const SiteNode& node : site.nodes) {
        table.AddRow({platform::PrintableText(node.name), std::to_string(node.channel),
                      SubnetNodeText(node.address), NeuronIdText(node.neuronId),
                      node.programId.empty() ? "?" : node.programId,
                      node.lastSeen.empty() ? "never" : node.lastSeen,
                      PluginColumn(plugins, node.programId)});
    }
    table.Print(out);
}

nlohmann::json NodesJson(const Site& site, const RegisteredPlugins& plugins) {
    nlohmann::json nodes = nlohmann::json::array();
    for (const SiteNode& node : site.nodes) {
        nodes.push_back({{"name", node.name},
                         {"channel", node.channel},
                         {"address", SubnetNodeText(node.address)},
                         {"neuronId", NeuronIdText(node.neuronId)},
                         {"programId", node.programId},
                         {"lastSeen", node.lastSeen},
                         {"plugin", PluginColumn(plugins, node.programId)}});
    }
    return nodes;
}

}  // namespace

int RunSiteNewCommand(const SiteNewOptions& options, std::ostream& out, std::ostream& err) {
    const auto refuse = [&err](const std::string& line) {
        err << "vireo site new: " << line << '\n';
        return 2;
    };
    if (std::string problem = SiteNameProblem(options.name); !problem.empty()) {
        return refuse(problem);
    }
    if (options.links.empty()) {
        return refuse("a site needs at least one --link lonip://ROUTER[:PORT]");
    }
    if (options.localPort < 0 || options.localPort > 65535) {
        return refuse("--local-port is 0 to 65535");
    }
    Site site;
    site.name = options.name;
    for (const std::string& url : options.links) {
        LinkSettings settings;
        if (auto problem = ParseLinkUrl(url, settings)) {
            return refuse(*problem);
        }
        site.links.push_back({static_cast<int>(site.links.size()) + 1, LinkUrl(settings),
                              options.localPort, !options.keyFile.empty()});
    }
    if (auto problem = ParseSubnetNode(options.source, site.source)) {
        return refuse("--source: " + *problem);
    }
    if (auto problem = ParseDomain(options.domain.empty() ? "-" : options.domain, site.domain)) {
        return refuse(*problem);
    }
    site.timeSynced = options.timeSynced;
    if (!options.configServer.empty()) {
        lon::Endpoint server;
        if (auto problem = ParseEndpoint(options.configServer, server)) {
            return refuse("--config-server " + *problem);
        }
        site.configServer = options.configServer;
    }
    platform::SecretBytes secret;
    if (!options.keyFile.empty()) {
        if (auto problem = ReadSecretFile(options.keyFile, secret)) {
            return refuse(*problem);
        }
    }
    const std::string path = SitePath(options.name);
    if (std::string problem = CreateSite(path, site); !problem.empty()) {
        err << "vireo site new: " << problem << '\n';
        return 1;
    }
    std::string where;
    if (!secret.empty()) {
        if (std::string problem = SaveSiteSecret(options.name, secret, where); !problem.empty()) {
            err << "vireo site new: " << problem << '\n';
            return 1;
        }
    }
    const std::string shown = platform::PrintableText(options.name);
    out << "Site " << shown << ": " << site.links.size()
        << (site.links.size() == 1 ? " channel" : " channels") << " in "
        << platform::PrintableText(path)
        << (secret.empty() ? ""
                           : "; the channels' secret kept apart in " +
                                 platform::PrintableText(SecretFilePath(options.name)))
        << "\n"
        << (site.configServer.empty()
                ? "Make this PC a member of its routers' channel with 'vireo site configure " +
                      shown + "' where the site has no configuration server of its own"
                : "Register this PC with its configuration server with 'vireo site register " +
                      shown + "'")
        << "\nThen find its nodes with 'vireo discover --site " << shown << " --save'\n";
    return 0;
}

int RunSiteConfigureCommand(const std::string& name, const ConfigureOptions& options,
                            std::ostream& out, std::ostream& err) {
    Site site;
    platform::SecretBytes secret;
    if (auto problem = LoadSiteWithSecret(name, site, secret)) {
        err << "vireo site configure: " << *problem << '\n';
        return 1;
    }
    if (!site.configServer.empty()) {
        err << "vireo site configure: site " << name << " has a configuration server of its own ("
            << platform::PrintableText(site.configServer)
            << "); register with it: 'vireo site register " << name << "'\n";
        return 1;
    }
    out << "Configuring the channel of site " << name << " as its configuration server"
        << std::endl;
    std::vector<ConfiguredMember> members;
    const auto told = [&out](const ConfiguredMember& member) {
        out << member.member.endpoint << " (" << member.member.role << ", channel "
            << member.channel << "): " << member.member.state << std::endl;
    };
    if (std::string problem = ConfigureSiteChannel(name, secret, options, members, told);
        !problem.empty()) {
        err << "vireo site configure: " << problem << '\n';
        return 1;
    }
    const auto failed = std::count_if(members.begin(), members.end(),
                                      [](const ConfiguredMember& m) { return !m.acknowledged; });
    out << (members.size() - static_cast<std::size_t>(failed)) << " of " << members.size()
        << " members configured" << std::endl;
    return failed == 0 ? 0 : 1;
}

int RunSiteRegisterCommand(const std::string& name, int waitSeconds, std::ostream& out,
                           std::ostream& err) {
    Site site;
    platform::SecretBytes secret;
    if (auto problem = LoadSiteWithSecret(name, site, secret)) {
        err << "vireo site register: " << *problem << '\n';
        return 1;
    }
    lon::Endpoint server;
    if (site.configServer.empty() || ParseEndpoint(site.configServer, server)) {
        err << "vireo site register: site " << name
            << " names no configuration server (\"configServer\": \"HOST:PORT\" in "
            << SitePath(name) << ")\n";
        return 2;
    }
    int failed = 0;
    for (const SiteLink& link : site.links) {
        out << "Channel " << link.channel << ": ";
        if (link.localPort == 0) {
            out << "not registered: its local port is \"any\", and a configuration server lists "
                   "a member by address and port; give it one (\"localPort\" in "
                << SitePath(name) << ")" << std::endl;
            ++failed;
            continue;
        }
        std::string problem;
        try {
            problem =
                RegisterSiteLink(site, link, server, secret, lon::Millis(1000LL * waitSeconds));
        } catch (const std::system_error& error) {
            problem = error.what();
        }
        out << (problem.empty() ? "registered; configured by " + EndpointText(server)
                                : "not registered: " + problem)
            << std::endl;
        failed += problem.empty() ? 0 : 1;
    }
    return failed == 0 ? 0 : 1;
}

int RunSiteShowCommand(const std::string& name, std::ostream& out, std::ostream& err) {
    Site site;
    if (std::string problem = LoadNamedSite(name, site); !problem.empty()) {
        err << "vireo site show: " << problem << '\n';
        return 1;
    }
    out << "Site " << name << " (" << SitePath(name) << ")\n";
    out << "This PC: " << SubnetNodeText(site.source) << " in domain " << DomainText(site.domain)
        << (site.timeSynced ? ", clock synchronised" : ", clock not synchronised (timestamps 0)")
        << '\n';
    TableRenderer links({{"Channel"}, {"Router"}, {"Local port"}, {"Authenticated"}});
    for (const SiteLink& link : site.links) {
        links.AddRow({std::to_string(link.channel), platform::PrintableText(link.url),
                      link.localPort == 0 ? "any" : std::to_string(link.localPort),
                      link.authenticated ? "yes" : "no"});
    }
    links.Print(out);
    if (!site.configServer.empty()) {
        out << "Configuration server: " << platform::PrintableText(site.configServer) << '\n';
        return 0;
    }
    if (!site.configuration) {
        out << "Configuration server: none; the routers are not configured by this PC ('vireo "
               "site configure "
            << name << "')\n";
        return 0;
    }
    const SiteChannelConfiguration& c = *site.configuration;
    out << "Configuration server: this PC, " << c.address << ":" << c.serverPort
        << "; channel timeout " << c.channelTimeout << " ms; last configured "
        << (c.configured.empty() ? "never" : c.configured)
        << (SiteChannelConfigured(site) ? "" : " (not every member took it)") << '\n';
    TableRenderer members({{"Member"}, {"Role"}, {"State"}});
    for (const SiteMember& member : c.members) {
        members.AddRow(
            {member.endpoint, member.role, member.state.empty() ? "not configured" : member.state});
    }
    members.Print(out);
    return 0;
}

int RunSiteSecretCommand(const std::string& name, const std::string& keyFile, std::ostream& out,
                         std::ostream& err) {
    Site site;
    if (std::string problem = LoadNamedSite(name, site); !problem.empty()) {
        err << "vireo site secret: " << problem << '\n';
        return 1;
    }
    platform::SecretBytes secret;
    if (auto problem = ReadSecretFile(keyFile, secret)) {
        err << "vireo site secret: " << *problem << '\n';
        return 2;
    }
    std::string where;
    if (std::string problem = SaveSiteSecret(name, secret, where); !problem.empty()) {
        err << "vireo site secret: " << problem << '\n';
        return 1;
    }
    std::string problem = UpdateSite(SitePath(name), [](Site& edited) {
        for (SiteLink& link : edited.links) {
            link.authenticated = true;
        }
    });
    if (!problem.empty()) {
        err << "vireo site secret: " << problem << '\n';
        return 1;
    }
    out << "The channels of site " << name << " are authenticated; the secret is in " << where
        << '\n';
    return 0;
}

int RunSiteListCommand(bool json, std::ostream& out, std::ostream& err) {
    std::string error;
    const std::vector<std::string> names = ListSites(error);
    if (!error.empty()) {
        err << "vireo site list: " << error << '\n';
        return 1;
    }
    int status = 0;
    nlohmann::json doc = nlohmann::json::array();
    TableRenderer table({{"Site"},
                         {"Channels", TableRenderer::Align::Right},
                         {"Nodes", TableRenderer::Align::Right},
                         {"Links"}});
    for (const std::string& name : names) {
        Site site;
        if (std::string problem = LoadNamedSite(name, site); !problem.empty()) {
            err << "vireo site list: " << platform::PrintableText(problem) << '\n';
            status = 1;
            continue;
        }
        std::string links;
        for (const SiteLink& link : site.links) {
            links += (links.empty() ? "" : " ") + link.url;
        }
        table.AddRow({platform::PrintableText(name), std::to_string(site.links.size()),
                      std::to_string(site.nodes.size()), platform::PrintableText(links)});
        doc.push_back({{"name", name},
                       {"channels", site.links.size()},
                       {"nodes", site.nodes.size()},
                       {"file", SitePath(name)}});
    }
    if (json) {
        out << doc.dump(2) << '\n';
    } else if (names.empty()) {
        out << "No sites in " << SitesFolder()
            << "; make one with 'vireo site new NAME --link lonip://ROUTER'\n";
    } else {
        table.Print(out);
    }
    return status;
}

int RunSiteNodesCommand(const std::string& name, bool json, std::ostream& out, std::ostream& err) {
    Site site;
    if (std::string problem = LoadNamedSite(name, site); !problem.empty()) {
        err << "vireo nodes: " << problem << '\n';
        return 1;
    }
    const RegisteredPlugins plugins;
    if (json) {
        nlohmann::json links = nlohmann::json::array();
        for (const SiteLink& link : site.links) {
            links.push_back({{"channel", link.channel}, {"url", link.url}});
        }
        const nlohmann::json doc = {
            {"site", name}, {"links", links}, {"nodes", NodesJson(site, plugins)}};
        out << doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
        return 0;
    }
    for (const SiteLink& link : site.links) {
        out << "Channel " << link.channel << ": " << link.url
            << (link.authenticated ? " (authenticated)" : "") << '\n';
    }
    if (site.nodes.empty()) {
        out << "The site " << name << " has no nodes yet; find them with 'vireo discover --site "
            << name << " --save'\n";
    } else {
        PrintNodes(site, plugins, out);
    }
    return 0;
}

int RunSiteRenameCommand(const std::string& siteName, const std::string& node,
                         const std::string& newName, std::ostream& out, std::ostream& err) {
    if (std::string problem = NameProblem(newName); !problem.empty()) {
        err << "vireo site rename: " << problem << '\n';
        return 2;
    }
    std::string refusal;
    const std::string problem = UpdateSite(SitePath(siteName), [&](Site& site) {
        if (FindSiteNode(site, newName) != nullptr) {
            refusal = "the site " + siteName + " has a node named " + newName + " already";
        } else if (SiteNode* entry = FindSiteNode(site, node); entry == nullptr) {
            refusal = "the site " + siteName + " has no node named " + node;
        } else {
            entry->name = newName;
        }
    });
    if (!problem.empty() || !refusal.empty()) {
        err << "vireo site rename: " << (problem.empty() ? refusal : problem) << '\n';
        return 1;
    }
    out << "Node " << node << " of site " << siteName << " is now " << newName << '\n';
    return 0;
}

int RunDiscoverSiteCommand(const std::string& name, int waitSeconds, bool save, std::ostream& out,
                           std::ostream& err, int mostNew) {
    Site site;
    platform::SecretBytes secret;
    if (auto problem = LoadSiteWithSecret(name, site, secret)) {
        err << "vireo discover: " << *problem << '\n';
        return 1;
    }
    err << "Listening on the " << site.links.size() << " channels of site " << name << " for "
        << waitSeconds << " s: press a node's service pin to see it" << std::endl;
    std::vector<std::string> problems;
    const DiscoveryLimits limits{.mostNew = mostNew};
    const SiteDiscovery discovery = DiscoverSite(
        site, secret, lon::Millis(1000LL * waitSeconds),
        [&err](const DiscoveredNode& node) {
            err << "Heard " << NeuronIdText(node.found.identity.neuronId) << " on channel "
                << node.channel << (node.known ? "" : " (new)") << std::endl;
        },
        problems, limits);
    const std::vector<DiscoveredNode>& found = discovery.nodes;
    for (const std::string& problem : problems) {
        err << "vireo discover: " << problem << '\n';
    }
    const RegisteredPlugins plugins;
    TableRenderer table({{"Neuron ID"},
                         {"Channel", TableRenderer::Align::Right},
                         {"Address"},
                         {"Program ID"},
                         {"Node"},
                         {"Plug-in"}});
    for (const DiscoveredNode& node : found) {
        const SiteNode* known = FindByNeuronId(site, node.found.identity.neuronId);
        const std::string programId = ProgramIdText(node.found.identity.programId);
        table.AddRow(
            {NeuronIdText(node.found.identity.neuronId), std::to_string(node.channel),
             SubnetNodeText(node.found.address), programId,
             known == nullptr
                 ? (node.name.empty() ? "new" : "new: " + platform::PrintableText(node.name))
                 : platform::PrintableText(known->name) + (node.moved ? " (moved)" : ""),
             PluginColumn(plugins, programId)});
    }
    if (found.empty()) {
        out << "No node answered\n";
    } else {
        table.Print(out);
    }
    if (save && !found.empty()) {
        SiteChanges changes;
        const std::string problem = UpdateSite(SitePath(name), [&](Site& edited) {
            changes = MergeDiscovered(edited, found, UtcNow());
        });
        if (!problem.empty()) {
            err << "vireo discover: " << problem << '\n';
            return 1;
        }
        out << "Site " << name << ": " << changes.added << " added, " << changes.moved << " moved, "
            << changes.seen << " seen again\n";
    }
    if (const std::string leftOut = LeftOutText(discovery, limits); !leftOut.empty()) {
        out << leftOut << '\n';
    }
    return problems.size() == site.links.size() ? 1 : 0;
}

}  // namespace host
