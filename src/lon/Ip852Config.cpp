#include "lon/Ip852Config.h"

#include <algorithm>
#include <charconv>

#include "lon/Ip852.h"

namespace lon {

namespace {

// Reads big-endian fields front to back. A read past the end yields zeros and marks the reader
// failed, so a decoder reads every field and asks once at the end whether they were all there.
class Reader {
public:
    explicit Reader(ByteView in) : in_(in) {}

    std::uint8_t U8() { return Has(1) ? in_[at_++] : Fail<std::uint8_t>(); }
    std::uint16_t U16() {
        if (!Has(2)) {
            return Fail<std::uint16_t>();
        }
        at_ += 2;
        return GetU16(in_, at_ - 2);
    }
    std::uint32_t U32() {
        if (!Has(4)) {
            return Fail<std::uint32_t>();
        }
        at_ += 4;
        return GetU32(in_, at_ - 4);
    }
    ByteView Take(std::size_t count) {
        if (!Has(count)) {
            return Fail<ByteView>();
        }
        at_ += count;
        return in_.subspan(at_ - count, count);
    }
    void Skip(std::size_t count) { Take(count); }
    // Every field was there and nothing is left over.
    bool Complete() const { return ok_ && at_ == in_.size(); }
    bool Ok() const { return ok_; }

private:
    bool Has(std::size_t count) const { return ok_ && in_.size() - at_ >= count; }
    template <typename T>
    T Fail() {
        ok_ = false;
        return T{};
    }

    ByteView in_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

void PutZeros(Bytes& out, std::size_t count) {
    out.insert(out.end(), count, 0);
}

void PutBytes(Bytes& out, ByteView bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// An address and port as the sources' LtIpAddPort: address, port, two bytes that must be zero.
void PutAddressPort(Bytes& out, Ip852Endpoint endpoint) {
    PutU32(out, endpoint.address);
    PutU16(out, endpoint.port);
    PutZeros(out, 2);
}

Ip852Endpoint ReadAddressPort(Reader& in) {
    Ip852Endpoint endpoint;
    endpoint.address = in.U32();
    endpoint.port = in.U16();
    in.Skip(2);
    return endpoint;
}

// A list the count field can say: the first `limit` entries.
template <typename T>
std::size_t Fitting(const std::vector<T>& list, std::size_t limit) {
    return std::min(list.size(), limit);
}

std::vector<NeuronId> ReadNeuronIds(ByteView bytes) {
    std::vector<NeuronId> ids(bytes.size() / sizeof(NeuronId));
    for (std::size_t i = 0; i < ids.size(); ++i) {
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(i * sizeof(NeuronId)),
                    sizeof(NeuronId), ids[i].begin());
    }
    return ids;
}

// Neuron IDs that a two-byte byte count can say.
constexpr std::size_t kMaxNeuronIds = 0xFFFF / sizeof(NeuronId);

}  // namespace

bool IsIp852Request(std::uint8_t type) {
    return type == kIp852StatisticsRequest || type == kIp852DeviceConfigurationRequest ||
           type == kIp852ChannelMembershipRequest || type == kIp852SendListRequest ||
           type == kIp852ChannelRoutingRequest;
}

const char* Ip852TypeName(std::uint8_t type) {
    switch (type) {
        case kIp852Data:
            return "Data Packet";
        case kIp852DeviceRegistration:
            return "Device Registration";
        case kIp852ChannelMembership:
            return "Channel Membership";
        case kIp852SendList:
            return "Send List";
        case kIp852Acknowledge:
            return "Acknowledge";
        case kIp852ChannelRouting:
            return "Channel Routing";
        case kIp852StatisticsRequest:
            return "Status/Health/Statistics Request";
        case kIp852DeviceConfigurationRequest:
            return "Device Configuration Request";
        case kIp852ChannelMembershipRequest:
            return "Channel Membership Request";
        case kIp852SendListRequest:
            return "Send List Request";
        case kIp852ChannelRoutingRequest:
            return "Channel Routing Request";
        case kIp852Statistics:
            return "Status/Health/Statistics Response";
        case kIp852DeviceConfiguration:
            return "Device Configuration";
        case kIp852Segment:
            return "Segment";
        default:
            return "unknown";
    }
}

std::string Ip852AddressText(std::uint32_t address) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        text += std::to_string((address >> shift) & 0xFF);
        if (shift > 0) {
            text += '.';
        }
    }
    return text;
}

std::optional<std::uint32_t> ParseIp852Address(std::string_view text) {
    std::uint32_t address = 0;
    const char* at = text.data();
    const char* end = text.data() + text.size();
    for (int octet = 0; octet < 4; ++octet) {
        if (octet > 0) {
            if (at == end || *at != '.') {
                return std::nullopt;
            }
            ++at;
        }
        unsigned value = 0;
        const auto [next, error] = std::from_chars(at, end, value);
        // One to three digits, no sign, no leading zeros that would read as octal elsewhere.
        if (error != std::errc{} || next - at > 3 || value > 255 || (*at == '0' && next - at > 1)) {
            return std::nullopt;
        }
        address = address << 8 | value;
        at = next;
    }
    if (at != end) {
        return std::nullopt;
    }
    return address;
}

std::string Ip852EndpointText(Ip852Endpoint endpoint) {
    return Ip852AddressText(endpoint.address) + ":" + std::to_string(endpoint.port);
}

std::uint32_t Ip852DateTime(std::chrono::system_clock::time_point time) {
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch()).count();
    // The field is 32 bits: it wraps in February 2036, as NTP's era 0 does.
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(seconds) +
                                      kIp852Seconds1900To1970);
}

Bytes Ip852Name(std::string_view text) {
    Bytes name(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(
                                                std::min(text.size(), kIp852MaxNameLength)));
    name.push_back(0);
    return name;
}

std::string Ip852NameText(ByteView name) {
    const auto end = std::find(name.begin(), name.end(), std::uint8_t{0});
    return {name.begin(), end};
}

Ip852ChannelRouting Ip852NodeRouting(Ip852Endpoint unicast, const NeuronId& neuronId,
                                     const Domain& domain, SubnetNode address) {
    Ip852ChannelRouting routing;
    routing.unicast = unicast;
    routing.lonTalkFlags = kIp852EiaAuthentication;
    routing.nodeType = kIp852LonTalkIpRouter;
    routing.neuronIds = {neuronId};
    routing.subnetNodes = {{address.subnet, address.node, 0, 0}};
    Ip852RoutingDomain routed;
    routed.domain = domain;
    routing.domains = {routed};
    return routing;
}

const char* Ip852AckCodeName(std::uint8_t code) {
    switch (static_cast<Ip852AckCode>(code)) {
        case Ip852AckCode::Ok:
            return "ok";
        case Ip852AckCode::Fixed:
            return "cannot be changed";
        case Ip852AckCode::BadMessage:
            return "bad message";
        case Ip852AckCode::CantComply:
            return "cannot comply";
        case Ip852AckCode::DeviceRefused:
            return "refused";
        case Ip852AckCode::NotSupported:
            return "not supported";
    }
    return "unknown code";
}

// Device registration and configuration: 48 fixed bytes, the multicast addresses, the Neuron
// IDs, the name's length and the name.
Bytes EncodeIp852Device(const Ip852Device& d) {
    const std::size_t multicast = Fitting(d.multicast, 0xFF);
    const std::size_t ids = Fitting(d.neuronIds, kMaxNeuronIds);
    const std::size_t nameLength = std::min<std::size_t>(d.name.size(), 0xFF);
    Bytes out;
    out.reserve(kIp852DeviceFixedSize + multicast * kIp852AddressPortSize + ids * 6 + 1 +
                nameLength);
    PutU32(out, d.dateTime);
    out.push_back(d.ipFlags);
    out.push_back(d.routerType);
    out.push_back(d.lonTalkFlags);
    out.push_back(d.nodeType);
    out.push_back(static_cast<std::uint8_t>(multicast));
    out.push_back(0);
    PutU16(out, d.channelTimeout);
    PutU16(out, static_cast<std::uint16_t>(ids * sizeof(NeuronId)));
    PutU16(out, d.unicast.port);
    PutU32(out, d.unicast.address);
    PutU32(out, d.membershipDateTime);
    PutU32(out, d.sendListDateTime);
    PutU32(out, d.configServer.address);
    PutU32(out, d.timeServer.address);
    PutU32(out, d.timeServer2.address);
    PutU16(out, d.configServer.port);
    PutU16(out, d.timeServer.port);
    PutU16(out, d.timeServer2.port);
    PutZeros(out, 2);
    for (std::size_t i = 0; i < multicast; ++i) {
        PutAddressPort(out, d.multicast[i]);
    }
    for (std::size_t i = 0; i < ids; ++i) {
        PutBytes(out, d.neuronIds[i]);
    }
    out.push_back(static_cast<std::uint8_t>(nameLength));
    PutBytes(out, ByteView(d.name).first(nameLength));
    return out;
}

std::optional<Ip852Device> DecodeIp852Device(ByteView payload) {
    Reader in(payload);
    Ip852Device d;
    d.dateTime = in.U32();
    d.ipFlags = in.U8();
    d.routerType = in.U8();
    d.lonTalkFlags = in.U8();
    d.nodeType = in.U8();
    const std::size_t multicast = in.U8();
    in.Skip(1);
    d.channelTimeout = in.U16();
    const std::size_t idBytes = in.U16();
    d.unicast.port = in.U16();
    d.unicast.address = in.U32();
    d.membershipDateTime = in.U32();
    d.sendListDateTime = in.U32();
    d.configServer.address = in.U32();
    d.timeServer.address = in.U32();
    d.timeServer2.address = in.U32();
    d.configServer.port = in.U16();
    d.timeServer.port = in.U16();
    d.timeServer2.port = in.U16();
    in.Skip(2);
    for (std::size_t i = 0; i < multicast && in.Ok(); ++i) {
        d.multicast.push_back(ReadAddressPort(in));
    }
    if (idBytes % sizeof(NeuronId) != 0) {
        return std::nullopt;
    }
    d.neuronIds = ReadNeuronIds(in.Take(idBytes));
    const ByteView name = in.Take(in.U8());
    d.name.assign(name.begin(), name.end());
    if (!in.Complete()) {
        return std::nullopt;
    }
    return d;
}

// Channel membership: date-time, the send list's date-time, four bytes that were once the
// registration's date-time and must now be zero, the count, two zero bytes, then per member its
// address, port, two zero bytes and the date-time of its channel routing.
Bytes EncodeIp852Membership(const Ip852Membership& m) {
    const std::size_t count = Fitting(m.members, 0xFFFF);
    Bytes out;
    out.reserve(kIp852MembershipFixedSize + count * kIp852MemberEntrySize);
    PutU32(out, m.dateTime);
    PutU32(out, m.sendListDateTime);
    PutZeros(out, 4);
    PutU16(out, static_cast<std::uint16_t>(count));
    PutZeros(out, 2);
    for (std::size_t i = 0; i < count; ++i) {
        PutAddressPort(out, m.members[i].endpoint);
        PutU32(out, m.members[i].dateTime);
    }
    return out;
}

std::optional<Ip852Membership> DecodeIp852Membership(ByteView payload) {
    Reader in(payload);
    Ip852Membership m;
    m.dateTime = in.U32();
    m.sendListDateTime = in.U32();
    in.Skip(4);
    const std::size_t count = in.U16();
    in.Skip(2);
    // The count must agree with the length before any entry is made.
    if (!in.Ok() || payload.size() != kIp852MembershipFixedSize + count * kIp852MemberEntrySize) {
        return std::nullopt;
    }
    m.members.resize(count);
    for (Ip852MemberEntry& entry : m.members) {
        entry.endpoint = ReadAddressPort(in);
        entry.dateTime = in.U32();
    }
    if (!in.Complete()) {
        return std::nullopt;
    }
    return m;
}

// Send list, EIA-852 form: date-time, a one-byte count, three zero bytes, the addresses.
Bytes EncodeIp852SendList(const Ip852SendList& list) {
    const std::size_t count = Fitting(list.members, kIp852MaxSendList);
    Bytes out;
    out.reserve(kIp852SendListFixedSize + count * kIp852AddressPortSize);
    PutU32(out, list.dateTime);
    out.push_back(static_cast<std::uint8_t>(count));
    PutZeros(out, 3);
    for (std::size_t i = 0; i < count; ++i) {
        PutAddressPort(out, list.members[i]);
    }
    return out;
}

std::optional<Ip852SendList> DecodeIp852SendList(ByteView payload) {
    Reader in(payload);
    Ip852SendList list;
    list.dateTime = in.U32();
    const std::size_t count = in.U8();
    in.Skip(3);
    list.members.resize(count);
    for (Ip852Endpoint& member : list.members) {
        member = ReadAddressPort(in);
    }
    if (!in.Complete()) {
        return std::nullopt;
    }
    return list;
}

namespace {

void PutRoutingDomain(Bytes& out, const Ip852RoutingDomain& d) {
    PutBytes(out, d.subnets);
    PutBytes(out, d.groups);
    out.push_back(d.domain.length);
    out.push_back(0);
    PutBytes(out, d.domain.id);
}

std::optional<Ip852RoutingDomain> ReadRoutingDomain(Reader& in) {
    Ip852RoutingDomain d;
    const ByteView subnets = in.Take(d.subnets.size());
    const ByteView groups = in.Take(d.groups.size());
    d.domain.length = in.U8();
    in.Skip(1);
    const ByteView id = in.Take(d.domain.id.size());
    if (!in.Ok() || !IsDomainLength(d.domain.length)) {
        return std::nullopt;
    }
    std::ranges::copy(subnets, d.subnets.begin());
    std::ranges::copy(groups, d.groups.begin());
    std::ranges::copy(id, d.domain.id.begin());
    return d;
}

constexpr std::size_t kMaxSubnetNodes = 0xFFFF / kIp852SubnetNodeSize;
constexpr std::size_t kMaxRoutingDomains = 0xFFFF / kIp852RoutingDomainSize;

}  // namespace

// Channel routing: 28 fixed bytes with the byte counts of the three lists, then the Neuron IDs,
// the subnet/node entries and the domains.
Bytes EncodeIp852ChannelRouting(const Ip852ChannelRouting& r) {
    const std::size_t ids = Fitting(r.neuronIds, kMaxNeuronIds);
    const std::size_t nodes = Fitting(r.subnetNodes, kMaxSubnetNodes);
    const std::size_t domains = Fitting(r.domains, kMaxRoutingDomains);
    Bytes out;
    out.reserve(kIp852RoutingFixedSize + ids * sizeof(NeuronId) + nodes * kIp852SubnetNodeSize +
                domains * kIp852RoutingDomainSize);
    PutU32(out, r.dateTime);
    PutU16(out, r.multicast.port);
    PutU16(out, r.unicast.port);
    PutU32(out, r.multicast.address);
    PutU32(out, r.unicast.address);
    out.push_back(r.ipFlags);
    out.push_back(r.routerType);
    out.push_back(r.lonTalkFlags);
    out.push_back(r.nodeType);
    PutU16(out, static_cast<std::uint16_t>(ids * sizeof(NeuronId)));
    PutZeros(out, 2);
    PutU16(out, static_cast<std::uint16_t>(nodes * kIp852SubnetNodeSize));
    PutU16(out, static_cast<std::uint16_t>(domains * kIp852RoutingDomainSize));
    for (std::size_t i = 0; i < ids; ++i) {
        PutBytes(out, r.neuronIds[i]);
    }
    for (std::size_t i = 0; i < nodes; ++i) {
        const Ip852SubnetNodeEntry& n = r.subnetNodes[i];
        out.push_back(n.subnet);
        out.push_back(n.node);
        PutU16(out, n.domainIndex);
        PutU16(out, n.neuronIdIndex);
    }
    for (std::size_t i = 0; i < domains; ++i) {
        PutRoutingDomain(out, r.domains[i]);
    }
    return out;
}

std::optional<Ip852ChannelRouting> DecodeIp852ChannelRouting(ByteView payload) {
    Reader in(payload);
    Ip852ChannelRouting r;
    r.dateTime = in.U32();
    r.multicast.port = in.U16();
    r.unicast.port = in.U16();
    r.multicast.address = in.U32();
    r.unicast.address = in.U32();
    r.ipFlags = in.U8();
    r.routerType = in.U8();
    r.lonTalkFlags = in.U8();
    r.nodeType = in.U8();
    const std::size_t idBytes = in.U16();
    in.Skip(2);
    const std::size_t nodeBytes = in.U16();
    const std::size_t domainBytes = in.U16();
    if (!in.Ok() || idBytes % sizeof(NeuronId) != 0 || nodeBytes % kIp852SubnetNodeSize != 0 ||
        domainBytes % kIp852RoutingDomainSize != 0 ||
        payload.size() != kIp852RoutingFixedSize + idBytes + nodeBytes + domainBytes) {
        return std::nullopt;
    }
    r.neuronIds = ReadNeuronIds(in.Take(idBytes));
    r.subnetNodes.resize(nodeBytes / kIp852SubnetNodeSize);
    for (Ip852SubnetNodeEntry& n : r.subnetNodes) {
        n.subnet = in.U8();
        n.node = in.U8();
        n.domainIndex = in.U16();
        n.neuronIdIndex = in.U16();
    }
    for (std::size_t i = 0; i < domainBytes / kIp852RoutingDomainSize; ++i) {
        std::optional<Ip852RoutingDomain> domain = ReadRoutingDomain(in);
        if (!domain) {
            return std::nullopt;
        }
        r.domains.push_back(*domain);
    }
    if (!in.Complete()) {
        return std::nullopt;
    }
    return r;
}

// Acknowledge: date-time, code, request id, segment id.
Bytes EncodeIp852Ack(const Ip852Ack& ack) {
    Bytes out;
    out.reserve(kIp852AcknowledgeSize);
    PutU32(out, ack.dateTime);
    out.push_back(ack.code);
    PutU16(out, ack.requestId);
    out.push_back(ack.segmentId);
    return out;
}

std::optional<Ip852Ack> DecodeIp852Ack(ByteView payload) {
    Reader in(payload);
    Ip852Ack ack;
    ack.dateTime = in.U32();
    ack.code = in.U8();
    ack.requestId = in.U16();
    ack.segmentId = in.U8();
    if (!in.Complete()) {
        return std::nullopt;
    }
    return ack;
}

// Request: date-time, reason, request id, segment id, the since date-time, an address.
Bytes EncodeIp852Request(const Ip852Request& request) {
    Bytes out;
    out.reserve(kIp852RequestSize);
    PutU32(out, request.dateTime);
    out.push_back(request.reason);
    PutU16(out, request.requestId);
    out.push_back(request.segmentId);
    PutU32(out, request.sinceDateTime);
    PutU32(out, request.address);
    return out;
}

std::optional<Ip852Request> DecodeIp852Request(ByteView payload) {
    Reader in(payload);
    Ip852Request request;
    request.dateTime = in.U32();
    request.reason = in.U8();
    request.requestId = in.U16();
    request.segmentId = in.U8();
    request.sinceDateTime = in.U32();
    request.address = in.U32();
    if (!in.Complete()) {
        return std::nullopt;
    }
    return request;
}

// Segment: the carried packet's date-time, flags, request id, segment id, then its bytes.
Bytes EncodeIp852Segment(const Ip852Segment& segment) {
    Bytes out;
    out.reserve(kIp852SegmentHeaderSize + segment.data.size());
    PutU32(out, segment.dateTime);
    out.push_back(segment.flags);
    PutU16(out, segment.requestId);
    out.push_back(segment.segmentId);
    PutBytes(out, segment.data);
    return out;
}

std::optional<Ip852Segment> DecodeIp852Segment(ByteView payload) {
    Reader in(payload);
    Ip852Segment segment;
    segment.dateTime = in.U32();
    segment.flags = in.U8();
    segment.requestId = in.U16();
    segment.segmentId = in.U8();
    if (!in.Ok()) {
        return std::nullopt;
    }
    const ByteView data = payload.subspan(kIp852SegmentHeaderSize);
    segment.data.assign(data.begin(), data.end());
    return segment;
}

bool NeedsIp852Segments(std::size_t packetSize) {
    return packetSize > kIp852MaxUnsegmented;
}

std::vector<Ip852Segment> SplitIp852Packet(ByteView packet, std::uint16_t requestId) {
    const Ip852Datagram whole = DecodeIp852(packet);
    if (whole.fault != Ip852Fault::None || whole.packets.size() != 1 ||
        whole.packets[0].payload.size() < 4 ||
        packet.size() > kIp852SegmentData * kIp852MaxSegments) {
        return {};
    }
    const std::uint32_t dateTime = GetU32(whole.packets[0].payload, 0);
    std::vector<Ip852Segment> segments;
    for (std::size_t at = 0; at < packet.size(); at += kIp852SegmentData) {
        const ByteView slice = packet.subspan(at, std::min(kIp852SegmentData, packet.size() - at));
        Ip852Segment segment;
        segment.dateTime = dateTime;
        segment.flags = kIp852SegmentValid;
        if (at + slice.size() == packet.size()) {
            segment.flags |= kIp852SegmentFinal;
        }
        segment.requestId = requestId;
        segment.segmentId = static_cast<std::uint8_t>(segments.size());
        segment.data.assign(slice.begin(), slice.end());
        segments.push_back(std::move(segment));
    }
    return segments;
}

}  // namespace lon
