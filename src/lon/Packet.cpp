#include "lon/Packet.h"

#include <algorithm>

#include "lon/Crc16.h"

namespace lon {
namespace {

// Domain lengths by the network header's two-bit code.
constexpr std::array<std::uint8_t, 4> kDomainLengths = {0, 1, 3, 6};

// A node field: the low seven bits; the top bit tells format 2a (set) from 2b (clear) in the
// source and is set in every destination node.
constexpr std::uint8_t kNodeSelect = 0x80;
constexpr std::uint8_t kNodeMask = 0x7F;

std::uint8_t AddressFormat(AddressKind kind) {
    switch (kind) {
        case AddressKind::Broadcast:
            return 0;
        case AddressKind::Group:
            return 1;
        case AddressKind::SubnetNode:
        case AddressKind::GroupResponse:
            return 2;
        case AddressKind::NeuronId:
            return 3;
    }
    return 0;
}

std::uint8_t DomainCode(std::uint8_t length) {
    const auto* found = std::find(kDomainLengths.begin(), kDomainLengths.end(), length);
    return static_cast<std::uint8_t>(found - kDomainLengths.begin());
}

void EncodeAddress(const Address& a, Bytes& out) {
    const bool groupResponse = a.kind == AddressKind::GroupResponse;
    out.push_back(a.source.subnet);
    out.push_back(
        static_cast<std::uint8_t>((groupResponse ? 0 : kNodeSelect) | (a.source.node & kNodeMask)));
    switch (a.kind) {
        case AddressKind::Broadcast:
            out.push_back(a.destination.subnet);
            break;
        case AddressKind::Group:
            out.push_back(a.group);
            break;
        case AddressKind::SubnetNode:
        case AddressKind::GroupResponse:
            out.push_back(a.destination.subnet);
            out.push_back(
                static_cast<std::uint8_t>(kNodeSelect | (a.destination.node & kNodeMask)));
            if (groupResponse) {
                out.push_back(a.group);
                out.push_back(a.member);
            }
            break;
        case AddressKind::NeuronId:
            out.push_back(a.destination.subnet);
            out.insert(out.end(), a.neuronId.begin(), a.neuronId.end());
            break;
    }
}

// Reads the address of the given format at `at`; false when the bytes end first.
bool DecodeAddress(std::uint8_t format, ByteView in, std::size_t& at, Address& a) {
    if (in.size() < at + 3) {
        return false;
    }
    a.source = {in[at], static_cast<std::uint8_t>(in[at + 1] & kNodeMask)};
    const bool select = (in[at + 1] & kNodeSelect) != 0;
    switch (format) {
        case 0:
            a.kind = AddressKind::Broadcast;
            a.destination.subnet = in[at + 2];
            at += 3;
            return true;
        case 1:
            a.kind = AddressKind::Group;
            a.group = in[at + 2];
            at += 3;
            return true;
        case 2: {
            const std::size_t size = select ? 4 : 6;
            if (in.size() < at + size) {
                return false;
            }
            a.kind = select ? AddressKind::SubnetNode : AddressKind::GroupResponse;
            a.destination = {in[at + 2], static_cast<std::uint8_t>(in[at + 3] & kNodeMask)};
            if (!select) {
                a.group = in[at + 4];
                a.member = in[at + 5];
            }
            at += size;
            return true;
        }
        default:
            if (in.size() < at + 3 + a.neuronId.size()) {
                return false;
            }
            a.kind = AddressKind::NeuronId;
            a.destination.subnet = in[at + 2];
            std::copy_n(in.begin() + static_cast<std::ptrdiff_t>(at + 3), a.neuronId.size(),
                        a.neuronId.begin());
            at += 3 + a.neuronId.size();
            return true;
    }
}

// Everything but an acknowledgement and a response needs bytes after its header: the APDU's
// code, a reminder's length, an authentication challenge or reply. A response may be empty.
bool CarriesBody(const Packet& p) {
    switch (p.format) {
        case PduFormat::Transport:
            return p.type != kTpduAck;
        case PduFormat::Session:
            return p.type != kSpduResponse;
        default:
            return true;
    }
}

}  // namespace

bool IsDomainLength(std::size_t length) {
    return std::find(kDomainLengths.begin(), kDomainLengths.end(), length) != kDomainLengths.end();
}

Bytes Encode(const Packet& p) {
    Bytes out;
    out.reserve(16 + p.body.size());
    out.push_back(static_cast<std::uint8_t>((p.priority ? 0x80 : 0) | (p.alternatePath ? 0x40 : 0) |
                                            (p.deltaBacklog & 0x3F)));
    out.push_back(static_cast<std::uint8_t>(static_cast<std::uint8_t>(p.format) << 4 |
                                            AddressFormat(p.address.kind) << 2 |
                                            DomainCode(p.domain.length)));
    EncodeAddress(p.address, out);
    out.insert(out.end(), p.domain.id.begin(), p.domain.id.begin() + p.domain.length);
    if (p.format != PduFormat::Application) {
        out.push_back(static_cast<std::uint8_t>((p.authenticated ? 0x80 : 0) |
                                                (p.type & 0x07) << 4 | (p.transaction & 0x0F)));
    }
    out.insert(out.end(), p.body.begin(), p.body.end());
    return out;
}

std::optional<Packet> Decode(ByteView in) {
    if (in.size() < 2 || (in[1] & 0xC0) != 0) {
        return std::nullopt;
    }
    Packet p;
    p.priority = (in[0] & 0x80) != 0;
    p.alternatePath = (in[0] & 0x40) != 0;
    p.deltaBacklog = in[0] & 0x3F;
    p.format = static_cast<PduFormat>(in[1] >> 4 & 0x03);
    std::size_t at = 2;
    if (!DecodeAddress(in[1] >> 2 & 0x03, in, at, p.address)) {
        return std::nullopt;
    }
    p.domain.length = kDomainLengths[in[1] & 0x03];
    if (in.size() < at + p.domain.length) {
        return std::nullopt;
    }
    std::copy_n(in.begin() + static_cast<std::ptrdiff_t>(at), p.domain.length, p.domain.id.begin());
    at += p.domain.length;
    if (p.format != PduFormat::Application) {
        if (in.size() < at + 1) {
            return std::nullopt;
        }
        p.authenticated = (in[at] & 0x80) != 0;
        p.type = in[at] >> 4 & 0x07;
        p.transaction = in[at] & 0x0F;
        ++at;
    }
    if (in.size() == at && CarriesBody(p)) {
        return std::nullopt;
    }
    p.body.assign(in.begin() + static_cast<std::ptrdiff_t>(at), in.end());
    return p;
}

Bytes EncodeWithCrc(const Packet& packet) {
    return WithCrc(Encode(packet));
}

std::optional<Packet> DecodeWithCrc(ByteView bytes) {
    if (!CrcMatches(bytes)) {
        return std::nullopt;
    }
    return Decode(bytes.first(bytes.size() - 2));
}

}  // namespace lon
