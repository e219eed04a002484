#pragma once
// LonTalk packets over a datagram network as an IP-852 channel member sends and receives them:
// each packet with its CRC in a data packet of this member's session, numbered in sequence, with
// a digest where the channel is authenticated. What arrives malformed, with a bad CRC or digest,
// stale, out of sequence, from a member the channel does not admit, or not as a LonTalk data
// packet is dropped and counted. The configuration server's packets go to whoever handles them.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>

#include "lon/Bytes.h"
#include "lon/Clock.h"
#include "lon/Datagram.h"
#include "lon/Ip852.h"
#include "lon/Packet.h"
#include "lon/PacketPort.h"

namespace lon {

struct ChannelCounters {
    std::uint64_t sent = 0;
    std::uint64_t received = 0;   // LonTalk packets delivered
    std::uint64_t malformed = 0;  // IP-852 framing or LonTalk packet that does not parse
    std::uint64_t badCrc = 0;
    std::uint64_t badDigest = 0;
    std::uint64_t duplicates = 0;  // a sequence number already delivered, or an older one
    std::uint64_t stale = 0;       // a timestamp further from ours than the channel timeout
    std::uint64_t foreign = 0;     // another packet type or protocol
    std::uint64_t nonMembers = 0;  // data from a sender that is no member of the channel
    std::uint64_t control = 0;     // configuration packets handed on
};

// An IP-852 session id of its own for every run of a member, so that the router or a served node
// never takes its first packets for stale ones of an earlier run.
std::uint32_t NewSessionId();

class Channel final : public PacketPort {
public:
    struct Options {
        Bytes secret;  // empty: the channel is not authenticated
        std::uint32_t session = 1;
        std::uint16_t vendor = 0;
        // Whether this PC's clock follows a time server: only then do our packets carry the time,
        // and only then are packets judged by theirs.
        bool timeSynced = false;
        // How far a packet's timestamp may be from ours; 0 judges none. The configuration
        // server's device configuration sets it, else the members' usual 1000 ms.
        Millis channelTimeout{1000};
        WallClock* wall = nullptr;  // the system's clock when none is given
    };
    // Sees every datagram as it goes out (true) or comes in (false), before any check, with the
    // member it goes to or came from (where the network does not tell: the peer, as 0.0.0.0:0).
    using Capture = std::function<void(bool outgoing, ByteView datagram, const Endpoint& peer)>;
    // Whether data from this sender may pass: a router forwards only its channel's members'.
    using Admission = std::function<bool(const Endpoint& from)>;
    // Takes a configuration packet (any type but data) that passed the digest, with its sender.
    using Control = std::function<void(const Ip852Packet& packet, const Endpoint& from)>;

    Channel(Datagram& network, Clock& clock, Options options);
    // Clears its copy of the channel's secret.
    ~Channel() override;
    Channel(const Channel&) = delete;
    Channel& operator=(const Channel&) = delete;

    bool Send(const Packet& packet) override;
    // To one member: the sender of the request being answered.
    bool SendTo(const Packet& packet, const Endpoint& to);
    // The packet framed as the next datagram of this member (its sequence number taken now),
    // and such a datagram sent, later or out of turn.
    Bytes Frame(const Packet& packet);
    bool SendFrame(ByteView datagram);
    bool SendFrameTo(ByteView datagram, const Endpoint& to);
    // A configuration packet of this member's session to one member.
    bool SendControl(std::uint8_t type, ByteView payload, const Endpoint& to);
    // The next packet that passes every check, or nothing at the deadline.
    std::optional<Packet> Receive(Millis deadline) override;

    // Where the packet Receive gave last came from (the peer where the network cannot tell).
    const Endpoint& LastFrom() const { return lastFrom_; }

    void SetCapture(Capture capture) { capture_ = std::move(capture); }
    void SetAdmission(Admission admission) { admission_ = std::move(admission); }
    void SetControl(Control control) { control_ = std::move(control); }
    const ChannelCounters& Counters() const { return counters_; }
    void SetChannelTimeout(Millis timeout) { options_.channelTimeout = timeout; }
    // The channel's clock, as the configuration logic times its retries by it.
    Millis Now() { return clock_.Now(); }

    // The timestamp our packets carry now: 0 unless our clock is synchronised.
    std::uint32_t Timestamp();

    // Each member's session and sequence as far as this channel heard them, and the same taken
    // back from an earlier run, so that packets kept from then are not taken as new.
    using KnownMembers = std::map<Endpoint, SequenceFilter::State>;
    KnownMembers Members() const;
    void RememberMembers(const KnownMembers& members);

private:
    struct Arrived {
        Packet packet;
        Endpoint from;
    };

    void Accept(const Ip852Packet& packet, const Endpoint& from);
    bool InSequence(const Ip852Header& header, const Endpoint& from);
    Bytes FrameIp852(std::uint8_t type, ByteView payload);

    Datagram& network_;
    Clock& clock_;
    Options options_;
    Capture capture_;
    SystemWallClock systemWall_;
    Admission admission_;
    Control control_;
    std::uint32_t sequence_ = 0;
    std::map<Endpoint, SequenceFilter> filters_;  // each member's session and sequence
    std::map<std::uint32_t, Endpoint> sessionOwners_;
    std::deque<Arrived> arrived_;
    Endpoint lastFrom_;
    ChannelCounters counters_;
};

}  // namespace lon
