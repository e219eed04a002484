#include "lon/Channel.h"

#include <cstring>
#include <random>

#include "lon/Crc16.h"

namespace lon {
namespace {

// One session and sequence per member; a channel of a few hundred members at most, so a flood of
// made-up senders cannot grow the table without bound.
constexpr std::size_t kMostMembers = 1024;
// The sessions whose member is known: each member's current and earlier ones.
constexpr std::size_t kMostSessions = 16 * kMostMembers;

}  // namespace

std::uint32_t NewSessionId() {
    std::random_device random;
    return random() | 1;
}

Channel::Channel(Datagram& network, Clock& clock, Options options)
    : network_(network), clock_(clock), options_(std::move(options)) {}

Channel::~Channel() {
    if (!options_.secret.empty()) {
        ::explicit_bzero(options_.secret.data(), options_.secret.size());
    }
}

bool Channel::Send(const Packet& packet) {
    return SendFrame(Frame(packet));
}

bool Channel::SendTo(const Packet& packet, const Endpoint& to) {
    return SendFrameTo(Frame(packet), to);
}

Bytes Channel::FrameIp852(std::uint8_t type, ByteView payload) {
    Ip852Header header;
    header.type = type;
    header.vendor = options_.vendor;
    header.session = options_.session;
    header.sequence = ++sequence_;
    header.timestamp = Timestamp();
    return EncodeIp852(header, payload, options_.secret);
}

Bytes Channel::Frame(const Packet& packet) {
    return FrameIp852(kIp852Data, EncodeWithCrc(packet));
}

bool Channel::SendControl(std::uint8_t type, ByteView payload, const Endpoint& to) {
    return SendFrameTo(FrameIp852(type, payload), to);
}

bool Channel::SendFrameTo(ByteView datagram, const Endpoint& to) {
    if (capture_) {
        capture_(true, datagram, to);
    }
    ++counters_.sent;
    return network_.SendTo(datagram, to);
}

std::uint32_t Channel::Timestamp() {
    WallClock& wall = options_.wall != nullptr ? *options_.wall : systemWall_;
    return Ip852Timestamp(options_.timeSynced, wall.SinceEpoch());
}

bool Channel::SendFrame(ByteView datagram) {
    if (capture_) {
        capture_(true, datagram, Endpoint{});
    }
    ++counters_.sent;
    return network_.Send(datagram);
}

std::optional<Packet> Channel::Receive(Millis deadline) {
    while (arrived_.empty()) {
        const std::optional<Bytes> datagram = network_.Receive(deadline);
        if (!datagram) {
            return std::nullopt;
        }
        const Endpoint from = network_.LastSource().value_or(Endpoint{});
        if (capture_) {
            capture_(false, *datagram, from);
        }
        const Ip852Datagram decoded = DecodeIp852(*datagram, options_.secret);
        for (const Ip852Packet& packet : decoded.packets) {
            Accept(packet, from);
        }
        if (decoded.fault == Ip852Fault::Malformed) {
            ++counters_.malformed;
        } else if (decoded.fault == Ip852Fault::BadDigest) {
            ++counters_.badDigest;
        }
    }
    Arrived next = std::move(arrived_.front());
    arrived_.pop_front();
    ++counters_.received;
    lastFrom_ = next.from;
    return std::move(next.packet);
}

void Channel::Accept(const Ip852Packet& in, const Endpoint& from) {
    if (in.header.type != kIp852Data && control_) {
        ++counters_.control;
        control_(in, from);
        return;
    }
    if (in.header.type != kIp852Data || (in.header.flags & kIp852ProtocolMask) != 0) {
        ++counters_.foreign;
        return;
    }
    if (admission_ && !admission_(from)) {
        ++counters_.nonMembers;
        return;
    }
    if (!CrcMatches(in.payload)) {
        ++counters_.badCrc;
        return;
    }
    std::optional<Packet> packet = DecodeWithCrc(in.payload);
    if (!packet) {
        ++counters_.malformed;
        return;
    }
    // A stale packet is dropped before it can move the sequence on, and so is a damaged one,
    // so that neither can hide later ones.
    const std::optional<std::uint32_t> ours =
        options_.timeSynced ? std::optional(Timestamp()) : std::nullopt;
    if (IsStaleIp852(in.header.timestamp, ours, options_.channelTimeout)) {
        ++counters_.stale;
        return;
    }
    if (!InSequence(in.header, from)) {
        ++counters_.duplicates;
        return;
    }
    arrived_.push_back({std::move(*packet), from});
}

Channel::KnownMembers Channel::Members() const {
    KnownMembers members;
    for (const auto& [member, filter] : filters_) {
        members.emplace(member, filter.Known());
    }
    return members;
}

void Channel::RememberMembers(const KnownMembers& members) {
    for (const auto& [member, state] : members) {
        if (filters_.size() < kMostMembers || filters_.contains(member)) {
            filters_.insert_or_assign(member, SequenceFilter(state));
            for (const std::uint32_t session : state.earlier) {
                sessionOwners_.try_emplace(session, member);
            }
            if (state.session) {
                sessionOwners_.try_emplace(*state.session, member);
            }
        }
    }
}

bool Channel::InSequence(const Ip852Header& header, const Endpoint& from) {
    if (filters_.size() >= kMostMembers && !filters_.contains(from)) {
        filters_.erase(filters_.begin());
    }
    // A session belongs to the member that used it first: the same session from another
    // address is a copy of that member's packets, sent in by someone else.
    const auto owner = sessionOwners_.try_emplace(header.session, from).first;
    if (owner->second != from) {
        return false;
    }
    if (sessionOwners_.size() > kMostSessions) {
        sessionOwners_.erase(sessionOwners_.begin() == owner ? std::next(owner)
                                                             : sessionOwners_.begin());
    }
    return filters_[from].Accept(header.session, header.sequence);
}

}  // namespace lon
