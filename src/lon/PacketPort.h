#pragma once
// What transactions need of a channel: send a LonTalk packet, and wait for the next one until a
// deadline. A channel member of its own is one; one node's share of a channel that many nodes'
// transactions use at once is another.

#include <optional>

#include "lon/Clock.h"
#include "lon/Packet.h"

namespace lon {

class PacketPort {
public:
    virtual ~PacketPort() = default;
    // False when the network refused the packet.
    virtual bool Send(const Packet& packet) = 0;
    // The next packet, or nothing once the clock reaches the deadline.
    virtual std::optional<Packet> Receive(Millis deadline) = 0;
};

}  // namespace lon
