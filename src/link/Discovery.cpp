#include "link/Discovery.h"

#include <algorithm>
#include <system_error>

#include "lon/Channel.h"
#include "lon/UdpDatagram.h"

namespace host {
namespace {

// The query ID to every unconfigured node of the domain, as a request each of them answers.
lon::Packet QueryBroadcast(const LinkSettings& settings) {
    lon::Packet query;
    query.format = lon::PduFormat::Session;
    query.type = lon::kSpduRequest;
    query.address.kind = lon::AddressKind::Broadcast;
    query.address.source = settings.source;
    query.domain = settings.domain;
    query.transaction = 1;
    query.body = lon::QueryIdRequest(lon::QueryIdScope::Unconfigured);
    return query;
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

}  // namespace

std::optional<std::string> DiscoverNodes(const LinkSettings& settings, lon::Millis listen,
                                         const std::function<void(const FoundNode&)>& heard,
                                         std::vector<FoundNode>& found) {
    lon::SteadyClock clock;
    std::optional<lon::UdpDatagram> udp;
    try {
        udp.emplace(clock, "0.0.0.0", settings.localPort);
        udp->SetPeer(settings.router, settings.port);
    } catch (const std::system_error& error) {
        return "router " + LinkUrl(settings) + ": " + error.what();
    }
    lon::Channel channel(*udp, clock, {settings.secret, lon::NewSessionId(), 0});
    if (!channel.Send(QueryBroadcast(settings))) {
        return "router " + LinkUrl(settings) + " cannot be sent to";
    }
    const lon::Millis end = clock.Now() + listen;
    while (const std::optional<lon::Packet> packet = channel.Receive(end)) {
        const std::optional<FoundNode> node = Heard(*packet, settings);
        const bool known = node && std::any_of(found.begin(), found.end(), [&](const FoundNode& f) {
                               return f.identity.neuronId == node->identity.neuronId;
                           });
        if (node && !known) {
            found.push_back(*node);
            if (heard) {
                heard(*node);
            }
        }
    }
    return std::nullopt;
}

}  // namespace host
