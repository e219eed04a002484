#include "cli/LinkCommands.h"

#include <algorithm>
#include <charconv>
#include <csignal>
#include <deque>
#include <functional>
#include <memory>
#include <ostream>
#include <system_error>
#include <thread>

#include <unistd.h>

#include "access/OpenNode.h"
#include "cli/Commands.h"
#include "cli/TableRenderer.h"
#include "framework/Registry.h"
#include "host/Plugin.h"
#include "link/Discovery.h"
#include "lon/Channel.h"
#include "lon/Ip852Config.h"
#include "lon/UdpDatagram.h"
#include "serve/SitePlan.h"
#include "sim/Network.h"
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

// Serves until a stop signal, a while at a time, pressing the service pins when asked.
void ServeUntilStopped(const std::function<void(lon::Millis)>& serveFor,
                       const std::function<void()>& pressPins) {
    StopServingOnSignals();
    while (g_serveStop == 0) {
        serveFor(lon::Millis(200));
        if (g_servicePin != 0) {
            g_servicePin = 0;
            pressPins();
        }
    }
}

// The readable nodes of the folder; each other one is reported and left out.
std::deque<ServedSiteNode> LoadServedNodes(const std::string& folder, std::ostream& err,
                                           bool& listed) {
    std::string error;
    const std::vector<NetworkNode> network = ListNetwork(folder, error);
    listed = error.empty();
    if (!listed) {
        err << "vireo site serve: " << error << '\n';
    }
    std::deque<ServedSiteNode> site;
    for (const NetworkNode& entry : network) {
        ServedSiteNode& served = site.emplace_back();
        std::string problem = entry.problem;
        if (problem.empty()) {
            problem = LoadStateFile(entry.stateFile, served.node, MissingStateFile::Read);
        }
        if (!problem.empty()) {
            err << "vireo site serve: skipped " << entry.stateFile << ": " << problem << '\n';
            site.pop_back();
            continue;
        }
        served.name = entry.name;
        served.stateFile = entry.stateFile;
        // Every write goes to the state file, so `vireo node show` sees what came over the wire.
        served.store = std::make_unique<StateFileStore>(entry.stateFile);
        served.node.store = served.store.get();
    }
    return site;
}

// "NAME=MS" into the faults of the node of that name.
std::optional<std::string> ReadLate(const std::string& text, const std::deque<ServedSiteNode>& site,
                                    std::vector<ChannelMember>& members) {
    const std::size_t equals = text.rfind('=');
    int ms = -1;
    if (equals != std::string::npos) {
        const char* digits = text.c_str() + equals + 1;
        const auto [end, error] = std::from_chars(digits, text.c_str() + text.size(), ms);
        if (error != std::errc() || *end != '\0' || equals + 1 == text.size()) {
            ms = -1;
        }
    }
    if (ms < 0 || ms > 60000) {
        return "--late " + text + ": NAME=MS, 0 to 60000 milliseconds";
    }
    const std::string name = text.substr(0, equals);
    for (std::size_t i = 0; i < site.size(); ++i) {
        if (site[i].name == name) {
            members[i].faults.late = lon::Millis(ms);
            return std::nullopt;
        }
    }
    return "--late: no node " + name + " in the site";
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
    settings.capture = {options.capture, options.force};
    settings.name = options.name;
    settings.timeSynced = options.timeSynced;
    return std::nullopt;
}

std::optional<std::string> ServedRouting::Read(RouterRules& rules) const {
    rules.open = open;
    for (const std::string& text : members) {
        lon::Endpoint member;
        if (auto problem = ParseEndpoint(text, member)) {
            return "--member " + *problem;
        }
        rules.members.push_back(member);
    }
    return std::nullopt;
}

std::string ServedRouting::Describe() const {
    if (open) {
        return "Open: forwarding for anyone, as no real router does (--open)";
    }
    std::string line = "Forwarding for the members its configuration server lists";
    for (const std::string& member : members) {
        line += (&member == &members.front() ? " and " : ", ") + member;
    }
    return line + "; nothing else reaches its nodes";
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
    OpenedNode opened;
    if (!OpenCommandNode(options.nodeFile, opened, err)) {
        return 1;
    }
    SimNode& node = *opened.Simulated();
    // Every write goes to the state file, so `vireo node show` sees what came over the wire.
    StateFileStore store(opened.StateFile());
    node.store = &store;
    lon::SteadyClock clock;
    std::optional<lon::UdpDatagram> udp;
    try {
        udp.emplace(clock, options.host, static_cast<std::uint16_t>(options.port));
    } catch (const std::system_error& error) {
        err << "vireo node serve: " << error.what() << '\n';
        return 1;
    }
    udp->AcceptAnyone();
    RouterRules rules;
    if (auto problem = options.routing.Read(rules)) {
        err << "vireo node serve: " << *problem << '\n';
        return 2;
    }
    RouterMembership membership(
        rules, {{lon::ParseIp852Address(options.host).value_or(0x7F000001), udp->LocalPort()},
                "Vireo served node",
                identity.domain,
                {identity.address}});
    platform::SecretBytes secret;
    if (!options.keyFile.empty()) {
        if (auto problem = ReadSecretFile(options.keyFile, secret)) {
            err << "vireo node serve: " << *problem << '\n';
            return 2;
        }
    }
    lon::Channel::Options channelOptions;
    channelOptions.secret = secret;
    channelOptions.session = lon::NewSessionId();
    channelOptions.timeSynced = options.routing.timeSynced;
    lon::Channel channel(*udp, clock, channelOptions);
    NodeServer server(node, channel, clock, identity, options.faults);
    server.SetMembership(membership);
    if (options.paced) {
        server.PaceAsFt10();
    }
    out << "Serving node " << node.Name() << " as " << options.address << " (Neuron ID "
        << NeuronIdText(identity.neuronId) << ") on lonip://" << options.host << ":"
        << udp->LocalPort() << std::endl;
    out << options.routing.Describe() << std::endl;
    ServeUntilStopped(
        [&](lon::Millis time) {
            server.ServeUntil(clock.Now() + time);
            membership.Tick();
        },
        [&server] { server.SendServicePin(); });
    out << "Stopped; " << server.Dropped() << " packets dropped, " << server.Repeats()
        << " repeats answered, " << channel.Counters().nonMembers
        << " packets from non-members dropped, " << channel.Counters().stale << " stale"
        << std::endl;
    return store.Error().empty() ? 0 : 1;
}

int ServedSite::Start(const SiteServeOptions& options, std::ostream& err) {
    const int lastPort = options.port == 0 ? 0 : options.port + options.channels - 1;
    if (options.channels < 1 || options.channels > 255 || lastPort > 65535) {
        err << "vireo site serve: --channels is 1 to 255, and the last channel's port at most "
               "65535\n";
        return 2;
    }
    bool listed = false;
    nodes_ = LoadServedNodes(options.folder, err, listed);
    if (nodes_.empty()) {
        err << "vireo site serve: no node to serve in " << options.folder << '\n';
        return 1;
    }
    std::vector<std::string> names;
    for (const ServedSiteNode& node : nodes_) {
        names.push_back(node.name);
    }
    if (auto problem = PlanSite(names, options.channels, places_)) {
        err << "vireo site serve: " << *problem << '\n';
        return 2;
    }
    std::vector<ChannelMember> members(nodes_.size());
    for (const SitePlace& place : places_) {
        ChannelMember& member = members[place.node];
        member.node = &nodes_[place.node].node;
        member.identity.address = place.address;
        member.identity.neuronId = place.neuronId;
        member.faults.silent = std::count(options.silentChannels.begin(),
                                          options.silentChannels.end(), place.channel) != 0;
    }
    for (const std::string& late : options.late) {
        if (auto problem = ReadLate(late, nodes_, members)) {
            err << "vireo site serve: " << *problem << '\n';
            return 2;
        }
    }
    platform::SecretBytes secret;
    if (!options.keyFile.empty()) {
        if (auto problem = ReadSecretFile(options.keyFile, secret)) {
            err << "vireo site serve: " << *problem << '\n';
            return 2;
        }
    }
    ServedChannel served{options.paced, secret, {}, options.routing.timeSynced};
    if (auto problem = options.routing.Read(served.rules)) {
        err << "vireo site serve: " << *problem << '\n';
        return 2;
    }
    std::vector<std::vector<ChannelMember>> channels(static_cast<std::size_t>(options.channels));
    for (const SitePlace& place : places_) {
        channels[static_cast<std::size_t>(place.channel - 1)].push_back(members[place.node]);
    }
    try {
        for (int k = 0; k < options.channels; ++k) {
            const auto port = static_cast<std::uint16_t>(options.port == 0 ? 0 : options.port + k);
            channels_.push_back(std::make_unique<ServingThread>(
                channels[static_cast<std::size_t>(k)], served, port));
            sizes_.push_back(channels[static_cast<std::size_t>(k)].size());
        }
    } catch (const std::system_error& error) {
        err << "vireo site serve: " << error.what() << '\n';
        return 1;
    }
    return 0;
}

void ServedSite::Print(std::ostream& out) const {
    for (std::size_t k = 0; k < channels_.size(); ++k) {
        out << "Channel " << k + 1 << ": lonip://127.0.0.1:" << channels_[k]->Port() << ", "
            << sizes_[k] << " nodes\n";
    }
    TableRenderer table({{"Name"}, {"Channel"}, {"Address"}, {"Neuron ID"}, {"Program ID"}});
    for (const SitePlace& place : places_) {
        const ServedSiteNode& node = nodes_[place.node];
        table.AddRow(
            {node.name, std::to_string(place.channel),
             std::to_string(place.address.subnet) + "/" + std::to_string(place.address.node),
             NeuronIdText(place.neuronId), ProgramIdText(node.node.GetProgramId())});
    }
    table.Print(out);
    out << std::flush;
}

void ServedSite::PressServicePins() {
    for (const auto& channel : channels_) {
        channel->PressServicePins();
    }
}

bool ServedSite::Stop() {
    for (const auto& channel : channels_) {
        channel->Stop();
    }
    return std::all_of(nodes_.begin(), nodes_.end(),
                       [](const ServedSiteNode& node) { return node.store->Error().empty(); });
}

std::uint64_t ServedSite::NonMembers() const {
    std::uint64_t dropped = 0;
    for (const auto& channel : channels_) {
        dropped += channel->NonMembers();
    }
    return dropped;
}

std::uint64_t ServedSite::Dropped() const {
    std::uint64_t dropped = 0;
    for (const auto& channel : channels_) {
        dropped += channel->Dropped();
    }
    return dropped;
}

int RunSiteServeCommand(const SiteServeOptions& options, std::ostream& out, std::ostream& err) {
    ServedSite site;
    if (const int status = site.Start(options, err); status != 0) {
        return status;
    }
    site.Print(out);
    out << options.routing.Describe() << std::endl;
    ServeUntilStopped([](lon::Millis time) { std::this_thread::sleep_for(time); },
                      [&site] { site.PressServicePins(); });
    const bool saved = site.Stop();
    out << "Stopped; " << site.Dropped() << " packets dropped, " << site.NonMembers()
        << " packets from non-members dropped" << std::endl;
    for (std::size_t k = 0; k < static_cast<std::size_t>(options.channels); ++k) {
        out << "Channel " << k + 1 << " carried " << site.Channel(k).ChannelSeconds()
            << " s of traffic" << std::endl;
    }
    return saved ? 0 : 1;
}

int RunDiscoverCommand(const LinkOptions& options, int waitSeconds, std::ostream& out,
                       std::ostream& err) {
    LinkSettings settings;
    if (auto problem = ReadLinkOptions(options, settings, NodeNamed::None)) {
        err << "vireo discover: " << *problem << '\n';
        return 2;
    }
    const RegisteredPlugins plugins;
    if (!plugins.Problem().empty()) {
        err << "vireo discover: " << plugins.Problem() << '\n';
    }
    err << "Listening on " << LinkUrl(settings) << " for " << waitSeconds
        << " s: every node answers at once; press a node's service pin to see one that does not"
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
        table.AddRow({NeuronIdText(node.identity.neuronId),
                      std::to_string(node.address.subnet) + "/" + std::to_string(node.address.node),
                      ProgramIdText(node.identity.programId),
                      node.servicePin ? "service pin" : "query",
                      plugins.Serves(node.identity.programId)});
    }
    if (table.HasRows()) {
        table.Print(out);
    } else {
        out << "No node answered\n";
    }
    return 0;
}

}  // namespace host
