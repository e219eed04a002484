#pragma once
// Who a served router forwards for, as a real LON/IP router decides it: the members of its
// channel, as its channel's configuration server listed them or as the command line named them
// (--member); everyone only when it was started open (--open). Data from anyone else is dropped
// and counted. Its own packets that answer no request (service pins) go to every member.

#include <cstdint>
#include <set>
#include <vector>

#include "lon/Channel.h"
#include "lon/Datagram.h"

namespace host {

struct RouterRules {
    bool open = false;                   // forwards for everyone, as no real router does
    std::vector<lon::Endpoint> members;  // members named on the command line
};

class RouterMembership {
public:
    explicit RouterMembership(RouterRules rules);

    // Whether data from this sender reaches the nodes.
    bool Admits(const lon::Endpoint& from);
    // Where the router's own packets go: every member it knows, and on an open router everyone
    // heard so far.
    std::vector<lon::Endpoint> Recipients() const;
    // Lets the channel ask who is a member.
    void Attach(lon::Channel& channel);
    bool Open() const { return rules_.open; }

private:
    RouterRules rules_;
    std::set<lon::Endpoint> heard_;  // open: who sent data, at most a channel's worth
};

}  // namespace host
