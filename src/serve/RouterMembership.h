#pragma once
// Who a served router forwards for, as a real LON/IP router decides it: the members of its
// channel that its configuration server listed and sent a channel routing for, and the members
// the command line named (--member); everyone only when it was started open (--open). Data from
// anyone else is dropped and counted. It takes its configuration as a member of the channel does
// (from its configuration server, or from anyone while it knows none), acknowledges it, applies
// the channel timeout, and answers the server's requests with its own routing: the subnets of the
// nodes behind it. Its own packets that answer no request (service pins) go to every member.

#include <cstdint>
#include <set>
#include <vector>

#include "link/MemberConfiguration.h"
#include "lon/Channel.h"
#include "lon/Datagram.h"
#include "lon/Ip852Member.h"

namespace host {

struct RouterRules {
    bool open = false;                   // forwards for everyone, as no real router does
    std::vector<lon::Endpoint> members;  // members named on the command line
};

// What the router is on its channel: its own address and the nodes it routes for.
struct RouterIdentity {
    lon::Endpoint self;
    std::string name;
    lon::Domain domain;
    std::vector<lon::SubnetNode> nodes;  // behind it
};

class RouterMembership {
public:
    RouterMembership(RouterRules rules, const RouterIdentity& identity = {});

    // Whether data from this sender reaches the nodes.
    bool Admits(const lon::Endpoint& from);
    // Where the router's own packets go: every member it knows, and on an open router everyone
    // heard so far.
    std::vector<lon::Endpoint> Recipients() const;
    // Lets the channel ask who is a member and hand it the configuration packets, which it
    // answers over the same channel.
    void Attach(lon::Channel& channel);
    // Sends again what the configuration waits for (segments asked for again); call it often.
    void Tick();
    bool Open() const { return rules_.open; }
    const lon::Ip852Member& Member() const { return member_; }

private:
    void Send(const std::vector<lon::Ip852Outgoing>& packets);

    RouterRules rules_;
    lon::Ip852Member member_;
    lon::Channel* channel_ = nullptr;
    std::set<lon::Endpoint> heard_;  // open: who sent data, at most a channel's worth
};

}  // namespace host
