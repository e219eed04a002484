// The IP-852 configuration decoders, and a channel member and a configuration server fed the
// packets of any datagram. Every payload a decoder accepts encodes to bytes that decode to the
// same value; a packet cut into segments is their bytes joined; the member never holds more than
// a channel's members; whatever the member or the server sends decodes.
//
// Each packet of the datagram reaches both: its sequence number's low bit says whether it comes
// from the member's configuration server (or a member of the server's channel) or from a
// stranger; its timestamp steps the clock, its session is the wall clock's date-time.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "FuzzSupport.h"
#include "lon/Ip852.h"
#include "lon/Ip852Config.h"
#include "lon/Ip852Member.h"

namespace {

const lon::Ip852Endpoint kServer{0x0A000001, 1628};
const lon::Ip852Endpoint kRouter{0x0A000002, 1628};
const lon::Ip852Endpoint kSelf{0x0A000009, 1628};
const lon::Ip852Endpoint kStranger{0x0A000042, 1628};

template <typename T>
void RoundTrip(lon::ByteView bytes, std::optional<T> (*decode)(lon::ByteView),
               lon::Bytes (*encode)(const T&), const char* property) {
    const std::optional<T> value = decode(bytes);
    if (value) {
        fuzz::Require(decode(encode(*value)) == value, property);
    }
}

void RoundTrips(lon::ByteView bytes) {
    RoundTrip(bytes, lon::DecodeIp852Device, lon::EncodeIp852Device,
              "an accepted device packet encodes to itself");
    RoundTrip(bytes, lon::DecodeIp852Membership, lon::EncodeIp852Membership,
              "an accepted membership encodes to itself");
    RoundTrip(bytes, lon::DecodeIp852SendList, lon::EncodeIp852SendList,
              "an accepted send list encodes to itself");
    RoundTrip(bytes, lon::DecodeIp852ChannelRouting, lon::EncodeIp852ChannelRouting,
              "an accepted channel routing encodes to itself");
    RoundTrip(bytes, lon::DecodeIp852Ack, lon::EncodeIp852Ack,
              "an accepted acknowledgement encodes to itself");
    RoundTrip(bytes, lon::DecodeIp852Request, lon::EncodeIp852Request,
              "an accepted request encodes to itself");
    RoundTrip(bytes, lon::DecodeIp852Segment, lon::EncodeIp852Segment,
              "an accepted segment encodes to itself");
}

void CheckSegments(lon::ByteView bytes) {
    lon::Bytes joined;
    for (const lon::Ip852Segment& segment : lon::SplitIp852Packet(bytes, 1)) {
        fuzz::Require(segment.data.size() <= lon::kIp852SegmentData, "a segment carries 492 bytes");
        joined.insert(joined.end(), segment.data.begin(), segment.data.end());
    }
    fuzz::Require(joined.empty() || std::ranges::equal(joined, bytes),
                  "the segments of a packet are the packet");
}

bool Decodes(const lon::Ip852Outgoing& out) {
    switch (out.type) {
        case lon::kIp852Acknowledge:
            return lon::DecodeIp852Ack(out.payload).has_value();
        case lon::kIp852DeviceRegistration:
        case lon::kIp852DeviceConfiguration:
            return lon::DecodeIp852Device(out.payload).has_value();
        case lon::kIp852ChannelMembership:
            return lon::DecodeIp852Membership(out.payload).has_value();
        case lon::kIp852SendList:
            return lon::DecodeIp852SendList(out.payload).has_value();
        case lon::kIp852ChannelRouting:
            return lon::DecodeIp852ChannelRouting(out.payload).has_value();
        case lon::kIp852Segment:
            return lon::DecodeIp852Segment(out.payload).has_value();
        default:
            return lon::IsIp852Request(out.type) && lon::DecodeIp852Request(out.payload);
    }
}

void CheckSent(const std::vector<lon::Ip852Outgoing>& sent) {
    for (const lon::Ip852Outgoing& out : sent) {
        fuzz::Require(Decodes(out), "whatever is sent decodes");
    }
}

lon::Ip852Member Member() {
    lon::Ip852MemberOptions options;
    options.self = kSelf;
    options.configServer = kServer;
    options.routing = lon::Ip852NodeRouting(kSelf, {1, 2, 3, 4, 5, 6}, {1, {0x4A}}, {1, 9});
    return lon::Ip852Member(options);
}

lon::Ip852ConfigServer Server() {
    lon::Ip852ServerOptions options;
    options.self = kSelf;
    options.members = {{kSelf, std::nullopt, "pc"}, {kRouter, std::nullopt, ""}};
    options.members[0].routing =
        lon::Ip852NodeRouting(kSelf, {1, 2, 3, 4, 5, 6}, {1, {0x4A}}, {1, 9});
    return lon::Ip852ConfigServer(options);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const lon::ByteView bytes(data, size);
    RoundTrips(bytes);
    CheckSegments(bytes);

    lon::Ip852Member member = Member();
    lon::Ip852ConfigServer server = Server();
    lon::Ip852Instant now{lon::Millis{0}, 0xE9000000};
    CheckSent(server.Start(now));
    for (const lon::Ip852Packet& packet : lon::DecodeIp852(bytes).packets) {
        const lon::Ip852Header& h = packet.header;
        now.steady += lon::Millis{h.timestamp % 15000};
        now.dateTime = h.session;
        const bool known = (h.sequence & 1) == 0;
        RoundTrips(packet.payload);
        CheckSent(member.Handle(h.type, packet.payload, known ? kServer : kStranger, now));
        CheckSent(server.Handle(h.type, packet.payload, known ? kRouter : kStranger, now));
        CheckSent(member.Tick(now));
        CheckSent(server.Tick(now));
        fuzz::Require(member.Members().size() <= lon::kIp852MaxMembers,
                      "a member holds at most 256 members");
    }
    return 0;
}
