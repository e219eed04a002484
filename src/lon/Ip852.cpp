#include "lon/Ip852.h"

#include <nettle/md5.h>

#include <algorithm>

namespace lon {

std::array<std::uint8_t, kIp852DigestSize> Ip852Digest(ByteView packet, ByteView secret) {
    static constexpr std::array<std::uint8_t, kIp852DigestSize> kZeros{};
    md5_ctx context;
    md5_init(&context);
    md5_update(&context, packet.size(), packet.data());
    md5_update(&context, kZeros.size(), kZeros.data());
    md5_update(&context, secret.size(), secret.data());
    std::array<std::uint8_t, kIp852DigestSize> digest{};
    md5_digest(&context, digest.size(), digest.data());
    return digest;
}

Bytes EncodeIp852(Ip852Header header, ByteView payload, ByteView secret) {
    header.length = static_cast<std::uint16_t>(kIp852HeaderSize + payload.size());
    header.extensionWords = 0;
    if (!secret.empty()) {
        header.flags |= kIp852Authenticated;
    }
    Bytes out;
    out.reserve(header.length + kIp852DigestSize);
    PutU16(out, header.length);
    out.push_back(header.version);
    out.push_back(header.type);
    out.push_back(header.extensionWords);
    out.push_back(header.flags);
    PutU16(out, header.vendor);
    PutU32(out, header.session);
    PutU32(out, header.sequence);
    PutU32(out, header.timestamp);
    out.insert(out.end(), payload.begin(), payload.end());
    if (!secret.empty()) {
        const auto digest = Ip852Digest(out, secret);
        out.insert(out.end(), digest.begin(), digest.end());
    }
    return out;
}

Ip852Datagram DecodeIp852(ByteView datagram, ByteView secret) {
    Ip852Datagram result;
    const std::size_t digestSize = secret.empty() ? 0 : kIp852DigestSize;
    while (!datagram.empty()) {
        if (datagram.size() < kIp852HeaderSize) {
            result.fault = Ip852Fault::Malformed;
            break;
        }
        Ip852Packet packet;
        Ip852Header& h = packet.header;
        h.length = GetU16(datagram, 0);
        h.version = datagram[2];
        h.type = datagram[3];
        h.extensionWords = datagram[4];
        h.flags = datagram[5];
        h.vendor = GetU16(datagram, 6);
        h.session = GetU32(datagram, 8);
        h.sequence = GetU32(datagram, 12);
        h.timestamp = GetU32(datagram, 16);
        // Another version of the framing may lay out what follows otherwise: not ours to read.
        if (h.version != kIp852Version) {
            result.fault = Ip852Fault::Malformed;
            break;
        }
        const std::size_t payloadAt = kIp852HeaderSize + 4 * std::size_t{h.extensionWords};
        if (h.length < payloadAt || h.length + digestSize > datagram.size()) {
            result.fault = Ip852Fault::Malformed;
            break;
        }
        const ByteView bytes = datagram.first(h.length);
        if (secret.empty() ? (h.flags & kIp852Authenticated) != 0
                           : !std::ranges::equal(Ip852Digest(bytes, secret),
                                                 datagram.subspan(h.length, digestSize))) {
            result.fault = Ip852Fault::BadDigest;
            break;
        }
        packet.payload.assign(bytes.begin() + static_cast<std::ptrdiff_t>(payloadAt), bytes.end());
        result.packets.push_back(std::move(packet));
        datagram = datagram.subspan(h.length + digestSize);
    }
    return result;
}

std::uint32_t Ip852Timestamp(bool synchronised, Millis utcNow) {
    return synchronised ? static_cast<std::uint32_t>(utcNow.count()) : 0;
}

bool IsStaleIp852(std::uint32_t packetTimestamp, std::optional<std::uint32_t> ourTimestamp,
                  Millis channelTimeout) {
    if (packetTimestamp == 0 || !ourTimestamp || channelTimeout.count() == 0) {
        return false;
    }
    const std::int64_t apart = static_cast<std::int32_t>(*ourTimestamp - packetTimestamp);
    return (apart < 0 ? -apart : apart) > channelTimeout.count();
}

bool SequenceFilter::Accept(std::uint32_t session, std::uint32_t sequence) {
    if (state_.session != session) {
        if (std::ranges::find(state_.earlier, session) != state_.earlier.end()) {
            return false;
        }
        if (state_.session) {
            state_.earlier.push_back(*state_.session);
            if (state_.earlier.size() > kEarlierSessions) {
                state_.earlier.erase(state_.earlier.begin());
            }
        }
        state_.session = session;
        state_.last = sequence;
        return true;
    }
    // Serial-number order, so that the sequence may wrap around.
    if (static_cast<std::int32_t>(sequence - state_.last) <= 0) {
        return false;
    }
    state_.last = sequence;
    return true;
}

}  // namespace lon
