#include "cli/LinkCommands.h"

#include <csignal>
#include <ostream>
#include <system_error>

#include <unistd.h>

#include "cli/Commands.h"
#include "cli/TableRenderer.h"
#include "framework/Registry.h"
#include "host/Plugin.h"
#include "link/Discovery.h"
#include "lon/Channel.h"
#include "lon/UdpDatagram.h"
#include "sim/NodeStateFile.h"
#include "sim/SimNode.h"

namespace host {
namespace {

volatile std::sig_atomic_t g_serveStop = 0;
volatile std::sig_atomic_t g_servicePin = 0;

void OnServeStop(int) {
    g_serveStop = 1;
}

void OnServicePin(int) {
    g_servicePin = 1;
}

// A served node runs until it is told to stop, by Ctrl+C or by the terminate signal.
void StopServingOnSignals() {
    struct sigaction action {};
    action.sa_handler = OnServeStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // SIGUSR1 is the service pin pressed: the node sends its message to whoever talked last.
    action.sa_handler = OnServicePin;
    sigaction(SIGUSR1, &action, nullptr);
}

}  // namespace

std::optional<std::string> ReadLinkOptions(const LinkOptions& options, LinkSettings& settings,
                                           NodeNamed node) {
    if (auto problem = ParseLinkUrl(options.link, settings)) {
        return problem;
    }
    if (node == NodeNamed::None) {
        if (!options.address.empty() || !options.neuronId.empty()) {
            return std::string("discovery names no node: no --address or --neuron-id");
        }
    } else if (options.address.empty() == options.neuronId.empty()) {
        return std::string("--link needs the node: --address SUBNET/NODE or --neuron-id HEX");
    }
    if (!options.address.empty()) {
        if (auto problem = ParseSubnetNode(options.address, settings.node.node)) {
            return problem;
        }
    } else if (!options.neuronId.empty()) {
        settings.node.byNeuronId = true;
        if (auto problem = ParseNeuronId(options.neuronId, settings.node.neuronId)) {
            return problem;
        }
    }
    if (auto problem = ParseSubnetNode(options.source, settings.source)) {
        return "--source: " + *problem;
    }
    if (auto problem =
            ParseDomain(options.domain.empty() ? "-" : options.domain, settings.domain)) {
        return problem;
    }
    if (options.retries < 0 || options.retries > 15) {
        return std::string("--retries is 0 to 15");
    }
    if (options.transmitTimer < 0 || options.transmitTimer > 15) {
        return std::string("--transmit-timer is a code from 0 (16 ms) to 15 (3072 ms)");
    }
    if (options.localPort < 0 || options.localPort > 65535) {
        return std::string("--local-port is 0 to 65535");
    }
    settings.localPort = static_cast<std::uint16_t>(options.localPort);
    settings.retry = {options.retries, static_cast<std::uint8_t>(options.transmitTimer)};
    if (!options.keyFile.empty()) {
        if (auto problem = ReadSecretFile(options.keyFile, settings.secret)) {
            return problem;
        }
    }
    settings.capture = options.capture;
    settings.name = options.name;
    return std::nullopt;
}

int RunServeCommand(const ServeOptions& options, std::ostream& out, std::ostream& err) {
    ServedIdentity identity;
    if (auto problem = ParseSubnetNode(options.address, identity.address)) {
        err << "vireo node serve: " << *problem << '\n';
        return 2;
    }
    if (!options.neuronId.empty()) {
        if (auto problem = ParseNeuronId(options.neuronId, identity.neuronId)) {
            err << "vireo node serve: " << *problem << '\n';
            return 2;
        }
    }
    if (auto problem =
            ParseDomain(options.domain.empty() ? "-" : options.domain, identity.domain)) {
        err << "vireo node serve: " << *problem << '\n';
        return 2;
    }
    identity.configured = !options.unconfigured;
    SimNode node;
    const std::optional<std::string> path = LoadCommandNode(options.nodeFile, node, err);
    if (!path) {
        return 1;
    }
    // Every write goes to the state file, so `vireo node show` sees what came over the wire.
    StateFileStore store(*path);
    node.store = &store;
    lon::SteadyClock clock;
    std::optional<lon::UdpDatagram> udp;
    try {
        udp.emplace(clock, options.host, static_cast<std::uint16_t>(options.port));
    } catch (const std::system_error& error) {
        err << "vireo node serve: " << error.what() << '\n';
        return 1;
    }
    udp->FollowSender();
    lon::Bytes secret;
    if (!options.keyFile.empty()) {
        if (auto problem = ReadSecretFile(options.keyFile, secret)) {
            err << "vireo node serve: " << *problem << '\n';
            return 2;
        }
    }
    lon::Channel channel(*udp, clock,
                         {secret, 0x5E4E0000u ^ static_cast<std::uint32_t>(::getpid()), 0});
    NodeServer server(node, channel, clock, identity, options.faults);
    if (options.paced) {
        server.PaceAsFt10();
    }
    StopServingOnSignals();
    out << "Serving node " << node.Name() << " as " << options.address << " (Neuron ID "
        << NeuronIdText(identity.neuronId) << ") on lonip://" << options.host << ":"
        << udp->LocalPort() << std::endl;
    while (g_serveStop == 0) {
        server.ServeUntil(clock.Now() + lon::Millis(200));
        if (g_servicePin != 0) {
            g_servicePin = 0;
            server.SendServicePin();
        }
    }
    out << "Stopped; " << server.Dropped() << " packets dropped, " << server.Repeats()
        << " repeats answered" << std::endl;
    return store.Error().empty() ? 0 : 1;
}

int RunDiscoverCommand(const LinkOptions& options, int waitSeconds, std::ostream& out,
                       std::ostream& err) {
    LinkSettings settings;
    if (auto problem = ReadLinkOptions(options, settings, NodeNamed::None)) {
        err << "vireo discover: " << *problem << '\n';
        return 2;
    }
    platform::RegistryKey registry;
    const platform::RegistryFile registryFile(platform::RegistryFile::DefaultPath());
    if (const std::string problem = registryFile.Load(registry); !problem.empty()) {
        err << "vireo discover: " << problem << '\n';
    }
    err << "Listening on " << LinkUrl(settings) << " for " << waitSeconds
        << " s: unconfigured nodes answer at once; press a node's service pin to see it"
        << std::endl;
    std::vector<FoundNode> found;
    const auto heard = [&err](const FoundNode& node) {
        err << "Heard " << NeuronIdText(node.identity.neuronId) << std::endl;
    };
    if (auto problem = DiscoverNodes(settings, lon::Millis(1000LL * waitSeconds), heard, found)) {
        err << "vireo discover: " << *problem << '\n';
        return 1;
    }
    TableRenderer table({{"Neuron ID"}, {"Address"}, {"Program ID"}, {"Heard by"}, {"Plug-in"}});
    for (const FoundNode& node : found) {
        const bool served = FindPlugin(registry, node.identity.programId).has_value();
        table.AddRow({NeuronIdText(node.identity.neuronId),
                      std::to_string(node.address.subnet) + "/" + std::to_string(node.address.node),
                      ProgramIdText(node.identity.programId),
                      node.servicePin ? "service pin" : "query", served ? "registered" : "none"});
    }
    if (table.HasRows()) {
        table.Print(out);
    } else {
        out << "No node answered\n";
    }
    return 0;
}

}  // namespace host
