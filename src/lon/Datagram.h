#pragma once
// What the link needs of a network: send a datagram to the peer (or to a member named by its
// address), and wait for the next one until a deadline on the link's clock, knowing where it came
// from. The UDP transport is one; tests script one.

#include <compare>
#include <cstdint>
#include <optional>

#include "lon/Bytes.h"
#include "lon/Clock.h"

namespace lon {

// A channel member's unicast IPv4 address (host order: 10.0.0.1 is 0x0A000001) and UDP port.
struct Endpoint {
    std::uint32_t address = 0;
    std::uint16_t port = 0;
    auto operator<=>(const Endpoint&) const = default;
};

class Datagram {
public:
    virtual ~Datagram() = default;
    // False when the network refused the datagram (no route, port refused).
    virtual bool Send(ByteView bytes) = 0;
    // To one member in particular; the peer where the network knows no other.
    virtual bool SendTo(ByteView bytes, const Endpoint& to) {
        static_cast<void>(to);
        return Send(bytes);
    }
    // The next datagram from the peer, or nothing once the clock reaches the deadline.
    virtual std::optional<Bytes> Receive(Millis deadline) = 0;
    // Where the datagram Receive gave last came from; nothing where the network cannot tell.
    virtual std::optional<Endpoint> LastSource() const { return std::nullopt; }
};

}  // namespace lon
