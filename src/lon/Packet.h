#pragma once
// A LonTalk packet as it travels in an IP-852 data packet: the priority byte, the network header,
// the addresses, the domain, the transport or session header and the application bytes. Encoding
// and decoding are exact inverses for every packet that Decode accepts, up to the bits the
// protocol fixes (the selector bits of the node fields).

#include <array>
#include <cstdint>
#include <optional>

#include "lon/Bytes.h"

namespace lon {

// A node's address in its domain: subnet 1-255, node 1-127 (0 where the protocol allows "none").
struct SubnetNode {
    std::uint8_t subnet = 0;
    std::uint8_t node = 0;
    bool operator==(const SubnetNode&) const = default;
};

using NeuronId = std::array<std::uint8_t, 6>;

enum class AddressKind : std::uint8_t {
    Broadcast,      // format 0: destination subnet, 0 for the whole domain
    Group,          // format 1: destination group
    SubnetNode,     // format 2a
    GroupResponse,  // format 2b: a group member's acknowledgement or response
    NeuronId,       // format 3: destination subnet for routing, then the unique ID
};

struct Address {
    AddressKind kind = AddressKind::SubnetNode;
    SubnetNode source;
    SubnetNode destination;  // subnet only for broadcast and Neuron ID
    std::uint8_t group = 0;
    std::uint8_t member = 0;  // group response only
    NeuronId neuronId{};
    bool operator==(const Address&) const = default;
};

// A domain ID of 0, 1, 3 or 6 bytes.
struct Domain {
    std::uint8_t length = 0;
    std::array<std::uint8_t, 6> id{};
    bool operator==(const Domain&) const = default;
};

enum class PduFormat : std::uint8_t {
    Transport = 0,
    Session = 1,
    Authentication = 2,
    Application = 3
};

// Types of the transport (TPDU) and session (SPDU) headers.
inline constexpr std::uint8_t kTpduAcknowledged = 0;
inline constexpr std::uint8_t kTpduUnacknowledgedRepeated = 1;
inline constexpr std::uint8_t kTpduAck = 2;
inline constexpr std::uint8_t kSpduRequest = 0;
inline constexpr std::uint8_t kSpduResponse = 2;

struct Packet {
    bool priority = false;
    bool alternatePath = false;
    std::uint8_t deltaBacklog = 0;  // 0-63
    PduFormat format = PduFormat::Application;
    Address address;
    Domain domain;
    // The header byte of every format but an APDU: authenticated bit, type, transaction number.
    bool authenticated = false;
    std::uint8_t type = 0;         // 0-7
    std::uint8_t transaction = 0;  // 0-15
    // The APDU (code byte first); for reminders and authentication PDUs the bytes after the header.
    Bytes body;
    bool operator==(const Packet&) const = default;
};

// True for the domain lengths the network header can say.
bool IsDomainLength(std::size_t length);

Bytes Encode(const Packet& packet);

// The packet, or nothing for a truncated packet or a protocol version other than 0. Only an
// acknowledgement and a response may end with their header.
std::optional<Packet> Decode(ByteView bytes);

// The packet followed by its CRC, as an IP-852 data packet carries it.
Bytes EncodeWithCrc(const Packet& packet);
std::optional<Packet> DecodeWithCrc(ByteView bytes);

}  // namespace lon
