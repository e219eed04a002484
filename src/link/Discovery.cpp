#include "link/Discovery.h"

#include <set>

namespace host {
namespace {

// A broadcast to the whole domain: a request each node answers, or an unacknowledged message.
lon::Packet Broadcast(const LinkSettings& settings, lon::Bytes apdu, std::uint8_t transaction) {
    lon::Packet packet;
    packet.format = transaction != 0 ? lon::PduFormat::Session : lon::PduFormat::Application;
    packet.type = lon::kSpduRequest;
    packet.address.kind = lon::AddressKind::Broadcast;
    packet.address.source = settings.source;
    packet.domain = settings.domain;
    packet.transaction = transaction;
    packet.body = std::move(apdu);
    return packet;
}

// The unconfigured nodes' query; then every node selected, asked and unselected.
std::vector<lon::Packet> Queries(const LinkSettings& settings) {
    return {Broadcast(settings, lon::QueryIdRequest(lon::QueryIdScope::Unconfigured), 1),
            Broadcast(settings, lon::RespondToQueryRequest(true), 0),
            Broadcast(settings, lon::QueryIdRequest(lon::QueryIdScope::Selected), 2),
            Broadcast(settings, lon::RespondToQueryRequest(false), 0)};
}

// The node a packet names, when it is a service pin message or an answer to our query.
std::optional<FoundNode> Heard(const lon::Packet& packet, const LinkSettings& settings) {
    FoundNode node;
    node.address = packet.address.source;
    if (const auto pin = lon::ReadServicePin(packet.body)) {
        node.identity = *pin;
        node.servicePin = true;
        return node;
    }
    const bool answer = packet.format == lon::PduFormat::Session &&
                        packet.type == lon::kSpduResponse &&
                        packet.address.destination == settings.source;
    if (answer && lon::ReadQueryIdResponse(packet.body, node.identity) == lon::Reply::Success) {
        return node;
    }
    return std::nullopt;
}

std::optional<std::string> Discover(lon::PacketPort& port, lon::Clock& clock,
                                    const LinkSettings& settings, lon::Millis listen,
                                    const HeardNode& heard, std::vector<FoundNode>& found) {
    for (const lon::Packet& query : Queries(settings)) {
        if (!port.Send(query)) {
            return "router " + LinkUrl(settings) + " cannot be sent to";
        }
    }
    const lon::Millis end = clock.Now() + listen;
    std::set<lon::NeuronId> heardOnce;  // a flood of messages is looked up, not searched
    for (const FoundNode& node : found) {
        heardOnce.insert(node.identity.neuronId);
    }
    while (const std::optional<lon::Packet> packet = port.Receive(end)) {
        const std::optional<FoundNode> node = Heard(*packet, settings);
        if (node && heardOnce.insert(node->identity.neuronId).second) {
            found.push_back(*node);
            if (heard) {
                heard(*node);
            }
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> DiscoverNodes(const LinkSettings& settings, lon::Millis listen,
                                         const HeardNode& heard, std::vector<FoundNode>& found) {
    SharedChannel channel(settings);
    if (auto problem = channel.Open()) {
        return problem;
    }
    return DiscoverNodes(channel, listen, heard, found);
}

std::optional<std::string> DiscoverNodes(SharedChannel& channel, lon::Millis listen,
                                         const HeardNode& heard, std::vector<FoundNode>& found) {
    const std::unique_ptr<lon::PacketPort> listener = channel.Listener();
    return Discover(*listener, channel.Clock(), channel.Settings(), listen, heard, found);
}

}  // namespace host
