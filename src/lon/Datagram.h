#pragma once
// What the link needs of a network: send a datagram to the peer, and wait for the next one until
// a deadline on the link's clock. The UDP transport is one; tests script one.

#include <optional>

#include "lon/Bytes.h"
#include "lon/Clock.h"

namespace lon {

class Datagram {
public:
    virtual ~Datagram() = default;
    // False when the network refused the datagram (no route, port refused).
    virtual bool Send(ByteView bytes) = 0;
    // The next datagram from the peer, or nothing once the clock reaches the deadline.
    virtual std::optional<Bytes> Receive(Millis deadline) = 0;
};

}  // namespace lon
