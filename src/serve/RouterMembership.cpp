#include "serve/RouterMembership.h"

#include <algorithm>
#include <chrono>

namespace host {
namespace {

// A router's routing: the subnets of the nodes behind it in its domain, as a configured router.
lon::Ip852ChannelRouting RouterRouting(const RouterIdentity& identity) {
    lon::Ip852ChannelRouting routing;
    routing.unicast = identity.self;
    routing.routerType = lon::kIp852ConfiguredRouter;
    routing.nodeType = lon::kIp852LonTalkIpRouter;
    lon::Ip852RoutingDomain domain;
    domain.domain = identity.domain;
    for (const lon::SubnetNode& node : identity.nodes) {
        domain.subnets[node.subnet / 8] |= static_cast<std::uint8_t>(1u << (node.subnet % 8));
    }
    routing.domains.push_back(domain);
    return routing;
}

lon::Ip852MemberOptions MemberOptions(const RouterIdentity& identity) {
    lon::Ip852MemberOptions options;
    options.self = identity.self;
    options.name = identity.name;
    options.routing = RouterRouting(identity);
    return options;
}

}  // namespace

RouterMembership::RouterMembership(RouterRules rules, const RouterIdentity& identity)
    : rules_(std::move(rules)), member_(MemberOptions(identity)) {}

bool RouterMembership::Admits(const lon::Endpoint& from) {
    if (std::find(rules_.members.begin(), rules_.members.end(), from) != rules_.members.end()) {
        return true;
    }
    // A configured member: listed in the channel's membership, with a routing of its own.
    if (member_.IsMember(from) && member_.RoutingOf(from)) {
        return true;
    }
    if (!rules_.open) {
        return false;
    }
    constexpr std::size_t kMostHeard = 256;
    if (heard_.size() < kMostHeard) {
        heard_.insert(from);
    }
    return true;
}

std::vector<lon::Endpoint> RouterMembership::Recipients() const {
    std::vector<lon::Endpoint> to(rules_.members.begin(), rules_.members.end());
    const auto add = [&to](const lon::Endpoint& member) {
        if (std::find(to.begin(), to.end(), member) == to.end()) {
            to.push_back(member);
        }
    };
    for (const lon::Ip852MemberEntry& entry : member_.Members()) {
        if (member_.RoutingOf(entry.endpoint)) {
            add(entry.endpoint);
        }
    }
    std::for_each(heard_.begin(), heard_.end(), add);
    return to;
}

void RouterMembership::Attach(lon::Channel& channel) {
    channel_ = &channel;
    channel.SetAdmission([this](const lon::Endpoint& from) { return Admits(from); });
    channel.SetControl([this, &channel](const lon::Ip852Packet& packet, const lon::Endpoint& from) {
        Send(member_.Handle(packet.header.type, packet.payload, from, Ip852Now(channel.Now())));
        channel.SetChannelTimeout(lon::Millis(member_.ChannelTimeout()));
    });
}

void RouterMembership::Tick() {
    if (channel_ != nullptr) {
        Send(member_.Tick(Ip852Now(channel_->Now())));
    }
}

void RouterMembership::Send(const std::vector<lon::Ip852Outgoing>& packets) {
    SendConfiguration(*channel_, packets);
}

}  // namespace host
