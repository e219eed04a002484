#pragma once
// IP-852 framing: the 20-byte header in front of every packet a channel member sends over UDP,
// and the MD5 digest an authenticated channel puts after each packet. A data packet's payload is
// one LonTalk packet with its CRC.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "lon/Bytes.h"
#include "lon/Clock.h"

namespace lon {

inline constexpr std::uint16_t kIp852Port = 1628;
inline constexpr std::size_t kIp852HeaderSize = 20;
inline constexpr std::size_t kIp852DigestSize = 16;
inline constexpr std::uint8_t kIp852Data = 0x01;
inline constexpr std::uint8_t kIp852Version = 1;
// Protocol flags: the packet carries a digest; the low five bits name the protocol (0 LonTalk).
inline constexpr std::uint8_t kIp852Authenticated = 0x20;
inline constexpr std::uint8_t kIp852ProtocolMask = 0x1F;

struct Ip852Header {
    std::uint16_t length = 0;  // the whole packet, header included, digest excluded
    std::uint8_t version = kIp852Version;
    std::uint8_t type = kIp852Data;
    std::uint8_t extensionWords = 0;  // 4-byte words of extended header after these 20 bytes
    std::uint8_t flags = 0;
    std::uint16_t vendor = 0;
    std::uint32_t session = 0;
    std::uint32_t sequence = 0;
    std::uint32_t timestamp = 0;
};

struct Ip852Packet {
    Ip852Header header;
    Bytes payload;  // after the extended header
};

// A packet with no extended header; the length is computed. With a secret the authenticated
// flag is set and the digest follows.
Bytes EncodeIp852(Ip852Header header, ByteView payload, ByteView secret = {});

enum class Ip852Fault : std::uint8_t { None, Malformed, BadDigest };

struct Ip852Datagram {
    std::vector<Ip852Packet> packets;
    Ip852Fault fault = Ip852Fault::None;
};

// Splits a UDP datagram into its packets (a member may send several in one). Stops at the first
// packet whose length does not fit or whose digest does not match; with no secret, a packet
// that says it is authenticated is refused too (its digest cannot be checked).
Ip852Datagram DecodeIp852(ByteView datagram, ByteView secret = {});

// The digest of a packet: MD5 over the packet, sixteen zero bytes and the secret.
std::array<std::uint8_t, kIp852DigestSize> Ip852Digest(ByteView packet, ByteView secret);

// The timestamp a member puts into each packet's header: UTC milliseconds since 1970, kept to
// 32 bits, where the member's clock is known to be synchronised (NTP); else 0, which tells the
// receiver not to judge the packet's age.
std::uint32_t Ip852Timestamp(bool synchronised, Millis utcNow);

// Whether a packet is stale: only a packet with a timestamp, received by a member whose own clock
// is synchronised, on a channel whose timeout is not 0, can be; it is when the two times differ
// by more than the channel timeout (either way, across the 32-bit wrap).
bool IsStaleIp852(std::uint32_t packetTimestamp, std::optional<std::uint32_t> ourTimestamp,
                  Millis channelTimeout);

// Drops what a member already delivered: a packet of the current session whose sequence number
// is not after the last one accepted, and any packet of a session the member had before. A new
// session id is the member's restart; the one it replaces is never taken again, so that packets
// kept from an earlier run cannot be sent in as new ones.
class SequenceFilter {
public:
    // What the filter knows of one member, as a program keeps it between its runs.
    struct State {
        std::optional<std::uint32_t> session;
        std::uint32_t last = 0;
        std::vector<std::uint32_t> earlier;  // the sessions before, the latest last
    };
    // Earlier sessions kept per member: a member restarts a few times a day at most.
    static constexpr std::size_t kEarlierSessions = 16;

    SequenceFilter() = default;
    explicit SequenceFilter(State state) : state_(std::move(state)) {}

    bool Accept(std::uint32_t session, std::uint32_t sequence);
    const State& Known() const { return state_; }

private:
    State state_;
};

}  // namespace lon
