#include "lon/Channel.h"

#include <random>

#include "lon/Crc16.h"

namespace lon {

std::uint32_t NewSessionId() {
    std::random_device random;
    return random() | 1;
}

Channel::Channel(Datagram& network, Clock& clock, Options options)
    : network_(network), clock_(clock), options_(std::move(options)) {}

bool Channel::Send(const Packet& packet) {
    return SendFrame(Frame(packet));
}

Bytes Channel::Frame(const Packet& packet) {
    Ip852Header header;
    header.vendor = options_.vendor;
    header.session = options_.session;
    header.sequence = ++sequence_;
    header.timestamp = Timestamp();
    return EncodeIp852(header, EncodeWithCrc(packet), options_.secret);
}

std::uint32_t Channel::Timestamp() {
    WallClock& wall = options_.wall != nullptr ? *options_.wall : systemWall_;
    return Ip852Timestamp(options_.timeSynced, wall.SinceEpoch());
}

bool Channel::SendFrame(ByteView datagram) {
    if (capture_) {
        capture_(true, datagram);
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
        if (capture_) {
            capture_(false, *datagram);
        }
        const Ip852Datagram decoded = DecodeIp852(*datagram, options_.secret);
        for (const Ip852Packet& packet : decoded.packets) {
            Accept(packet);
        }
        if (decoded.fault == Ip852Fault::Malformed) {
            ++counters_.malformed;
        } else if (decoded.fault == Ip852Fault::BadDigest) {
            ++counters_.badDigest;
        }
    }
    Packet packet = std::move(arrived_.front());
    arrived_.pop_front();
    ++counters_.received;
    return packet;
}

void Channel::Accept(const Ip852Packet& in) {
    if (in.header.type != kIp852Data || (in.header.flags & kIp852ProtocolMask) != 0) {
        ++counters_.foreign;
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
    if (!filter_.Accept(in.header.session, in.header.sequence)) {
        ++counters_.duplicates;
        return;
    }
    arrived_.push_back(std::move(*packet));
}

}  // namespace lon
