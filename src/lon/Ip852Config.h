#pragma once
// What an IP-852 channel's configuration server and its members tell each other, after the
// 20-byte header that lon/Ip852.h frames: a member registers (device registration), the server
// configures it (device configuration), lists the channel's members (channel membership), names
// where it sends (send list) and what each member routes (channel routing); a request asks for
// any of these and an acknowledgement answers what has no other answer. A packet longer than
// one datagram of the sources (548 bytes) travels as segments.
//
// All fields are big-endian and IPv4 addresses are kept in host order (10.0.0.1 is 0x0A000001).
// The layouts are those the open LonTalk stack builds and parses (izot/lon-stack-ex,
// LonTalkStack/Source/ShareIp/include/LtIpPackets.h and LtIpPackets.cpp; the segment in
// include/Segment.h and Segment.cpp); the type names are Wireshark's (packet-cnip.c).
//
// Every decoder checks each length and count against the bytes it is given: a payload that is
// short, has bytes left over, or whose counts disagree with its length decodes to nothing. Fields
// that must be zero are not checked (the sources do not either) and encode as zero, so a decoded
// packet encodes to bytes that decode to the same packet. An encoder cuts a list that is longer
// than its count field can say to the entries that fit.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lon/Bytes.h"
#include "lon/Datagram.h"
#include "lon/Packet.h"

namespace lon {

// Packet types of the configuration protocol (the header's type byte).
inline constexpr std::uint8_t kIp852DeviceRegistration = 0x03;
inline constexpr std::uint8_t kIp852ChannelMembership = 0x04;
inline constexpr std::uint8_t kIp852SendList = 0x06;
inline constexpr std::uint8_t kIp852Acknowledge = 0x07;
inline constexpr std::uint8_t kIp852ChannelRouting = 0x08;
inline constexpr std::uint8_t kIp852StatisticsRequest = 0x60;
inline constexpr std::uint8_t kIp852DeviceConfigurationRequest = 0x63;
inline constexpr std::uint8_t kIp852ChannelMembershipRequest = 0x64;
inline constexpr std::uint8_t kIp852SendListRequest = 0x66;
inline constexpr std::uint8_t kIp852ChannelRoutingRequest = 0x68;
inline constexpr std::uint8_t kIp852Statistics = 0x70;
inline constexpr std::uint8_t kIp852DeviceConfiguration = 0x71;
inline constexpr std::uint8_t kIp852Segment = 0x7F;

// The five request types share one layout.
bool IsIp852Request(std::uint8_t type);
// Wireshark's name of a packet type, "unknown" for others.
const char* Ip852TypeName(std::uint8_t type);

// Limits of the sources: members of one channel (LtIpMaster.h MAX_MEMBERS), addresses in a send
// list (its count is one byte), the longest packet sent whole (Segment.h UDP_MAX_PKT_LEN), the
// bytes of a packet each segment carries and the segments of one packet (Segment.h), the
// characters of a device's name (LtIpMaster.h EIA852_MAXNAMELEN).
inline constexpr std::size_t kIp852MaxMembers = 256;
inline constexpr std::size_t kIp852MaxSendList = 255;
inline constexpr std::size_t kIp852MaxUnsegmented = 548;
inline constexpr std::size_t kIp852SegmentData = 492;
inline constexpr std::size_t kIp852MaxSegments = 40;
inline constexpr std::size_t kIp852MaxNameLength = 128;

// The fixed fields of each payload, and the size of each list entry after them.
inline constexpr std::size_t kIp852DeviceFixedSize = 48;
inline constexpr std::size_t kIp852MembershipFixedSize = 16;
inline constexpr std::size_t kIp852MemberEntrySize = 12;
inline constexpr std::size_t kIp852SendListFixedSize = 8;
inline constexpr std::size_t kIp852AddressPortSize = 8;
inline constexpr std::size_t kIp852RoutingFixedSize = 28;
inline constexpr std::size_t kIp852SubnetNodeSize = 6;
inline constexpr std::size_t kIp852RoutingDomainSize = 72;
inline constexpr std::size_t kIp852AcknowledgeSize = 8;
inline constexpr std::size_t kIp852RequestSize = 16;
inline constexpr std::size_t kIp852SegmentHeaderSize = 8;

// A member as the channel knows it: its unicast IPv4 address and UDP port.
using Ip852Endpoint = Endpoint;

// "10.0.0.1"; the dotted quad back, nothing for anything else (no names, no short forms).
std::string Ip852AddressText(std::uint32_t address);
std::optional<std::uint32_t> ParseIp852Address(std::string_view text);
// "10.0.0.1:1628".
std::string Ip852EndpointText(Ip852Endpoint endpoint);

// A configuration packet's date-time: seconds since 1900-01-01 UTC, as NTP counts them
// (LtIpPackets.cpp getDateTime). A receiver keeps the packet with the later date-time.
inline constexpr std::uint32_t kIp852Seconds1900To1970 = 2208988800U;
std::uint32_t Ip852DateTime(std::chrono::system_clock::time_point time);

// Flags of a device and of a routing entry: the IP protocols it speaks, how it routes LonTalk
// packets (the architectural router types), what kind of device it is.
inline constexpr std::uint8_t kIp852Udp = 0x01;
inline constexpr std::uint8_t kIp852AllBroadcasts = 0x01;      // wants every broadcast
inline constexpr std::uint8_t kIp852EiaAuthentication = 0x02;  // checks EIA-852 digests
inline constexpr std::uint8_t kIp852ConfiguredRouter = 0;
inline constexpr std::uint8_t kIp852Repeater = 3;
inline constexpr std::uint8_t kIp852LonTalkIpRouter = 1;  // node type the sources' members send
inline constexpr std::uint8_t kIp852IpNode = 2;

// Device registration (0x03, member to server) and device configuration (0x71, server to member
// or a member's answer to 0x63): one layout.
struct Ip852Device {
    std::uint32_t dateTime = 0;
    std::uint8_t ipFlags = kIp852Udp;
    std::uint8_t routerType = kIp852ConfiguredRouter;
    std::uint8_t lonTalkFlags = 0;
    std::uint8_t nodeType = 0;
    std::vector<Ip852Endpoint> multicast;  // at most 255
    std::uint16_t channelTimeout = 0;      // ms a data packet may take before it is stale
    std::vector<NeuronId> neuronIds;
    Ip852Endpoint unicast;
    std::uint32_t membershipDateTime = 0;  // of the channel membership the sender holds
    std::uint32_t sendListDateTime = 0;
    Ip852Endpoint configServer;  // 0.0.0.0: none
    Ip852Endpoint timeServer;
    Ip852Endpoint timeServer2;
    Bytes name;  // as sent: the sources count and send a terminating zero
    bool operator==(const Ip852Device&) const = default;
};

// A name as the sources send it (at most 128 characters and a zero), and its text.
Bytes Ip852Name(std::string_view text);
std::string Ip852NameText(ByteView name);

// Channel membership (0x04): every member with the date-time of its channel routing.
struct Ip852MemberEntry {
    Ip852Endpoint endpoint;
    std::uint32_t dateTime = 0;
    bool operator==(const Ip852MemberEntry&) const = default;
};

struct Ip852Membership {
    std::uint32_t dateTime = 0;
    std::uint32_t sendListDateTime = 0;
    std::vector<Ip852MemberEntry> members;  // the count is two bytes
    bool operator==(const Ip852Membership&) const = default;
};

// Send list (0x06) in the EIA-852 form: the members this member sends its data packets to.
struct Ip852SendList {
    std::uint32_t dateTime = 0;
    std::vector<Ip852Endpoint> members;  // at most 255
    bool operator==(const Ip852SendList&) const = default;
};

// Channel routing (0x08): what one member routes, for the routers that forward to it. Its
// subnet/node entries index its domains and Neuron IDs; the indices are kept as sent.
struct Ip852SubnetNodeEntry {
    std::uint8_t subnet = 0;
    std::uint8_t node = 0;
    std::uint16_t domainIndex = 0;
    std::uint16_t neuronIdIndex = 0;
    bool operator==(const Ip852SubnetNodeEntry&) const = default;
};

// A domain with the subnets and groups routed in it: bit n of the masks is bit n % 8 of byte
// n / 8 (subnet 0 is the low bit of byte 0). The domain ID goes as six bytes whatever its length.
struct Ip852RoutingDomain {
    std::array<std::uint8_t, 32> subnets{};
    std::array<std::uint8_t, 32> groups{};
    Domain domain;
    bool operator==(const Ip852RoutingDomain&) const = default;
};

struct Ip852ChannelRouting {
    std::uint32_t dateTime = 0;
    Ip852Endpoint multicast;
    Ip852Endpoint unicast;  // the member this routing is for
    std::uint8_t ipFlags = kIp852Udp;
    std::uint8_t routerType = kIp852ConfiguredRouter;
    std::uint8_t lonTalkFlags = 0;
    std::uint8_t nodeType = 0;
    std::vector<NeuronId> neuronIds;
    std::vector<Ip852SubnetNodeEntry> subnetNodes;
    std::vector<Ip852RoutingDomain> domains;
    bool operator==(const Ip852ChannelRouting&) const = default;
};

// The routing of a member that is one LonTalk node, as the sources' member builds its own from
// its one stack (LtIpMaster.cpp sweepLocalClients): its Neuron ID, its subnet/node in its domain,
// the domain with no subnets routed, a configured router's type. A router forwards to such a
// member what is addressed to that subnet/node or Neuron ID.
Ip852ChannelRouting Ip852NodeRouting(Ip852Endpoint unicast, const NeuronId& neuronId,
                                     const Domain& domain, SubnetNode address);

// Acknowledge (0x07). The code says how it went; the request id is the request's, 0 for an
// acknowledgement of a packet that was no answer to a request.
enum class Ip852AckCode : std::uint8_t {
    Ok = 0,
    Fixed = 1,          // cannot be changed
    BadMessage = 2,     // malformed, or a channel routing that disagrees with the membership
    CantComply = 3,     // cannot take that configuration
    DeviceRefused = 4,  // the answer to a request for something the member does not hold
    NotSupported = 5,   // an optional feature it does not have
};
const char* Ip852AckCodeName(std::uint8_t code);

struct Ip852Ack {
    std::uint32_t dateTime = 0;
    std::uint8_t code = 0;  // Ip852AckCode, kept as sent
    std::uint16_t requestId = 0;
    std::uint8_t segmentId = 0;
    bool operator==(const Ip852Ack&) const = default;
};

// Requests (0x60, 0x63, 0x64, 0x66, 0x68). A channel routing request names the member by its
// address; a request for a missing segment names the segment and repeats the request id.
inline constexpr std::uint8_t kIp852RequestAll = 0x04;  // send every segment from segmentId on

struct Ip852Request {
    std::uint32_t dateTime = 0;
    std::uint8_t reason = 0;
    std::uint16_t requestId = 0;
    std::uint8_t segmentId = 0;
    std::uint32_t sinceDateTime = 0;
    std::uint32_t address = 0;
    bool operator==(const Ip852Request&) const = default;
};

// Segment (0x7F): a slice of a whole IP-852 packet, its 20-byte header included. Segments of one
// packet share its date-time and a request id (the id of the request it answers); the last one is
// final. A segment without the valid flag says that the segment asked for does not exist.
inline constexpr std::uint8_t kIp852SegmentValid = 0x80;
inline constexpr std::uint8_t kIp852SegmentFinal = 0x40;

struct Ip852Segment {
    std::uint32_t dateTime = 0;
    std::uint8_t flags = 0;
    std::uint16_t requestId = 0;
    std::uint8_t segmentId = 0;
    Bytes data;
    bool operator==(const Ip852Segment&) const = default;
};

Bytes EncodeIp852Device(const Ip852Device& device);
std::optional<Ip852Device> DecodeIp852Device(ByteView payload);
Bytes EncodeIp852Membership(const Ip852Membership& membership);
std::optional<Ip852Membership> DecodeIp852Membership(ByteView payload);
Bytes EncodeIp852SendList(const Ip852SendList& list);
std::optional<Ip852SendList> DecodeIp852SendList(ByteView payload);
Bytes EncodeIp852ChannelRouting(const Ip852ChannelRouting& routing);
std::optional<Ip852ChannelRouting> DecodeIp852ChannelRouting(ByteView payload);
Bytes EncodeIp852Ack(const Ip852Ack& ack);
std::optional<Ip852Ack> DecodeIp852Ack(ByteView payload);
Bytes EncodeIp852Request(const Ip852Request& request);
std::optional<Ip852Request> DecodeIp852Request(ByteView payload);
Bytes EncodeIp852Segment(const Ip852Segment& segment);
std::optional<Ip852Segment> DecodeIp852Segment(ByteView payload);

// A whole packet (header included) cut into the segments that carry it, each with at most 492 of
// its bytes: the date-time is the packet's own (the first field after its header). Nothing for a
// packet that is not one well-formed IP-852 packet or that needs more than 40 segments. The
// sources send a packet as segments only when it is longer than 548 bytes.
std::vector<Ip852Segment> SplitIp852Packet(ByteView packet, std::uint16_t requestId);
bool NeedsIp852Segments(std::size_t packetSize);

}  // namespace lon
