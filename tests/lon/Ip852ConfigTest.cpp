#include <gtest/gtest.h>

#include <functional>

#include "lon/Ip852.h"
#include "lon/Ip852Config.h"

namespace {

using lon::Bytes;
using lon::ByteView;

// A payload written field by field, so that each group of bytes in a table names its field.
Bytes Fields(std::initializer_list<Bytes> groups) {
    Bytes out;
    for (const Bytes& group : groups) {
        out.insert(out.end(), group.begin(), group.end());
    }
    return out;
}

Bytes Repeat(std::size_t count, std::uint8_t value) {
    return Bytes(count, value);
}

// One layout: its bytes, and the encoder and decoder checked against the value they stand for.
struct LayoutCase {
    const char* name;
    Bytes bytes;
    std::function<Bytes()> encodeValue;
    std::function<bool(ByteView)> decodesToValue;
    std::function<bool(ByteView)> decodes;
};

void PrintTo(const LayoutCase& layout, std::ostream* out) {
    *out << layout.name;
}

template <typename T>
LayoutCase Layout(const char* name, Bytes bytes, T value, Bytes (*encode)(const T&),
                  std::optional<T> (*decode)(ByteView)) {
    return {name, std::move(bytes), [value, encode] { return encode(value); },
            [value, decode](ByteView in) { return decode(in) == value; },
            [decode](ByteView in) { return decode(in).has_value(); }};
}

lon::Ip852Device Device() {
    lon::Ip852Device d;
    d.dateTime = 0xE8000001;
    d.ipFlags = lon::kIp852Udp;
    d.routerType = lon::kIp852ConfiguredRouter;
    d.lonTalkFlags = lon::kIp852EiaAuthentication;
    d.nodeType = lon::kIp852LonTalkIpRouter;
    d.multicast = {{0xEF010203, 1628}};
    d.channelTimeout = 1000;
    d.neuronIds = {{1, 2, 3, 4, 5, 6}};
    d.unicast = {0x0A000002, 1628};
    d.membershipDateTime = 0xE8000002;
    d.sendListDateTime = 0xE8000003;
    d.configServer = {0x0A000001, 1628};
    d.timeServer = {0xC0A80101, 123};
    d.name = lon::Ip852Name("hub");
    return d;
}

const Bytes kDevice = Fields({
    {0xE8, 0x00, 0x00, 0x01},  // date-time
    {0x01, 0x00, 0x02, 0x01},  // IP flags (UDP), router type, LonTalk flags (EIA auth), node type
    {0x01, 0x00},              // multicast count, must be zero
    {0x03, 0xE8},              // channel timeout 1000 ms
    {0x00, 0x06},              // Neuron ID bytes
    {0x06, 0x5C},              // unicast port 1628
    {0x0A, 0x00, 0x00, 0x02},  // unicast address 10.0.0.2
    {0xE8, 0x00, 0x00, 0x02},  // channel membership date-time
    {0xE8, 0x00, 0x00, 0x03},  // send list date-time
    {0x0A, 0x00, 0x00, 0x01},  // configuration server 10.0.0.1
    {0xC0, 0xA8, 0x01, 0x01},  // time server 192.168.1.1
    {0x00, 0x00, 0x00, 0x00},  // second time server: none
    {0x06, 0x5C, 0x00, 0x7B},  // configuration server port 1628, time server port 123
    {0x00, 0x00, 0x00, 0x00},  // second time server port, must be zero
    {0xEF, 0x01, 0x02, 0x03, 0x06, 0x5C, 0x00, 0x00},  // multicast 239.1.2.3:1628
    {0x01, 0x02, 0x03, 0x04, 0x05, 0x06},              // Neuron ID
    {0x04, 'h', 'u', 'b', 0x00},                       // name length (with its zero), name
});

lon::Ip852Membership Membership() {
    return {0xE8000010, 0xE8000011, {{{0x0A000001, 1628}, 0xE8000005}, {{0x0A000002, 1629}, 0}}};
}

const Bytes kMembership = Fields({
    {0xE8, 0x00, 0x00, 0x10},  // date-time
    {0xE8, 0x00, 0x00, 0x11},  // send list date-time
    {0x00, 0x00, 0x00, 0x00},  // must be zero (once the registration's date-time)
    {0x00, 0x02, 0x00, 0x00},  // member count, must be zero
    {0x0A, 0x00, 0x00, 0x01, 0x06, 0x5C, 0x00, 0x00},  // 10.0.0.1:1628
    {0xE8, 0x00, 0x00, 0x05},                          // its channel routing's date-time
    {0x0A, 0x00, 0x00, 0x02, 0x06, 0x5D, 0x00, 0x00},  // 10.0.0.2:1629
    {0x00, 0x00, 0x00, 0x00},                          // no channel routing yet
});

lon::Ip852SendList SendList() {
    return {0xE8000011, {{0x0A000001, 1628}, {0x0A000003, 1628}}};
}

const Bytes kSendList = Fields({
    {0xE8, 0x00, 0x00, 0x11},                          // date-time
    {0x02, 0x00, 0x00, 0x00},                          // count, three zero bytes
    {0x0A, 0x00, 0x00, 0x01, 0x06, 0x5C, 0x00, 0x00},  // 10.0.0.1:1628
    {0x0A, 0x00, 0x00, 0x03, 0x06, 0x5C, 0x00, 0x00},  // 10.0.0.3:1628
});

lon::Ip852ChannelRouting Routing() {
    lon::Ip852ChannelRouting r;
    r.dateTime = 0xE8000005;
    r.unicast = {0x0A000002, 1628};
    r.lonTalkFlags = lon::kIp852EiaAuthentication;
    r.nodeType = lon::kIp852LonTalkIpRouter;
    r.neuronIds = {{1, 2, 3, 4, 5, 6}};
    r.subnetNodes = {{5, 7, 0, 0}};
    lon::Ip852RoutingDomain d;
    d.subnets[0] = 0x20;  // subnet 5
    d.groups[1] = 0x02;   // group 9
    d.domain = {1, {0x4A}};
    r.domains = {d};
    return r;
}

const Bytes kRouting = Fields({
    {0xE8, 0x00, 0x00, 0x05},              // date-time
    {0x00, 0x00, 0x06, 0x5C},              // multicast port, unicast port 1628
    {0x00, 0x00, 0x00, 0x00},              // multicast address: none
    {0x0A, 0x00, 0x00, 0x02},              // unicast address 10.0.0.2
    {0x01, 0x00, 0x02, 0x01},              // IP flags, router type, LonTalk flags, node type
    {0x00, 0x06, 0x00, 0x00},              // Neuron ID bytes, must be zero
    {0x00, 0x06, 0x00, 0x48},              // subnet/node bytes, domain bytes (one of 72)
    {0x01, 0x02, 0x03, 0x04, 0x05, 0x06},  // Neuron ID
    {0x05, 0x07, 0x00, 0x00, 0x00, 0x00},  // subnet 5 node 7, domain index 0, Neuron ID index 0
    {0x20},
    Repeat(31, 0),  // subnet mask: subnet 5
    {0x00, 0x02},
    Repeat(30, 0),                         // group mask: group 9
    {0x01, 0x00},                          // domain length, must be zero
    {0x4A, 0x00, 0x00, 0x00, 0x00, 0x00},  // domain ID
});

const Bytes kAck = Fields({
    {0xE8, 0x00, 0x00, 0x20},  // date-time
    {0x04},                    // code: refused
    {0x03, 0xE9},              // request id 1001
    {0x00},                    // segment id
});

const Bytes kRequest = Fields({
    {0xE8, 0x00, 0x00, 0x21},  // date-time
    {0x04},                    // reason: every segment from the one named on
    {0x00, 0x07},              // request id
    {0x02},                    // segment id
    {0x00, 0x00, 0x00, 0x00},  // since date-time
    {0x0A, 0x00, 0x00, 0x02},  // the member asked about: 10.0.0.2
});

const Bytes kSegment = Fields({
    {0xE8, 0x00, 0x00, 0x05},  // the carried packet's date-time
    {0xC0},                    // valid, final
    {0x00, 0x07},              // request id
    {0x01},                    // segment id
    {0xAA, 0xBB},              // the carried bytes
});

const std::vector<LayoutCase> kLayouts = {
    Layout("deviceConfiguration", kDevice, Device(), lon::EncodeIp852Device,
           lon::DecodeIp852Device),
    Layout("deviceNoLists",
           Fields({{0, 0, 0, 9, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}, Repeat(34, 0), {0}}),
           lon::Ip852Device{.dateTime = 9, .ipFlags = 1, .routerType = 0}, lon::EncodeIp852Device,
           lon::DecodeIp852Device),
    Layout("membership", kMembership, Membership(), lon::EncodeIp852Membership,
           lon::DecodeIp852Membership),
    Layout("sendList", kSendList, SendList(), lon::EncodeIp852SendList, lon::DecodeIp852SendList),
    Layout("channelRouting", kRouting, Routing(), lon::EncodeIp852ChannelRouting,
           lon::DecodeIp852ChannelRouting),
    Layout("acknowledge", kAck, lon::Ip852Ack{0xE8000020, 4, 1001, 0}, lon::EncodeIp852Ack,
           lon::DecodeIp852Ack),
    Layout("request", kRequest, lon::Ip852Request{0xE8000021, 4, 7, 2, 0, 0x0A000002},
           lon::EncodeIp852Request, lon::DecodeIp852Request),
    Layout("segment", kSegment, lon::Ip852Segment{0xE8000005, 0xC0, 7, 1, {0xAA, 0xBB}},
           lon::EncodeIp852Segment, lon::DecodeIp852Segment),
};

class Ip852LayoutTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(Ip852LayoutTest, EncodesToTheBytesAndDecodesBack) {
    EXPECT_EQ(GetParam().encodeValue(), GetParam().bytes);
    EXPECT_TRUE(GetParam().decodesToValue(GetParam().bytes));
}

// Every shorter payload and one with a byte too many is refused, never read past its end. A
// segment carries whatever follows its header, so only its header can be short.
TEST_P(Ip852LayoutTest, RefusesEveryOtherLength) {
    const Bytes& bytes = GetParam().bytes;
    const bool segment = std::string_view(GetParam().name) == "segment";
    const std::size_t shortest = segment ? lon::kIp852SegmentHeaderSize : bytes.size();
    for (std::size_t size = 0; size < shortest; ++size) {
        EXPECT_FALSE(GetParam().decodes(ByteView(bytes).first(size))) << size;
    }
    Bytes longer = bytes;
    longer.push_back(0);
    EXPECT_FALSE(segment ? GetParam().decodesToValue(longer) : GetParam().decodes(longer));
}

INSTANTIATE_TEST_SUITE_P(Packets, Ip852LayoutTest, testing::ValuesIn(kLayouts),
                         [](const testing::TestParamInfo<LayoutCase>& info) {
                             return info.param.name;
                         });

Bytes Changed(Bytes bytes, std::size_t at, std::uint8_t value) {
    bytes[at] = value;
    return bytes;
}

Bytes Without(Bytes bytes, std::size_t count) {
    bytes.resize(bytes.size() - count);
    return bytes;
}

struct MalformedCase {
    const char* name;
    std::function<bool(ByteView)> decodes;
    Bytes bytes;
};

template <typename T>
std::function<bool(ByteView)> Decodes(std::optional<T> (*decode)(ByteView)) {
    return [decode](ByteView in) { return decode(in).has_value(); };
}

// Counts and byte counts that disagree with the bytes that follow them.
const std::vector<MalformedCase> kMalformed = {
    {"deviceMulticastCountTooHigh", Decodes(lon::DecodeIp852Device), Changed(kDevice, 8, 2)},
    {"deviceNeuronIdBytesNotSix", Decodes(lon::DecodeIp852Device), Changed(kDevice, 13, 5)},
    {"deviceNameLongerThanRest", Decodes(lon::DecodeIp852Device),
     Changed(kDevice, kDevice.size() - 5, 5)},
    {"membershipCountTooHigh", Decodes(lon::DecodeIp852Membership), Changed(kMembership, 13, 3)},
    {"membershipCountHuge", Decodes(lon::DecodeIp852Membership), Changed(kMembership, 12, 0xFF)},
    {"membershipEntryCut", Decodes(lon::DecodeIp852Membership), Without(kMembership, 4)},
    {"sendListCountTooLow", Decodes(lon::DecodeIp852SendList), Changed(kSendList, 4, 1)},
    {"routingNeuronIdBytesNotSix", Decodes(lon::DecodeIp852ChannelRouting),
     Changed(kRouting, 21, 7)},
    {"routingDomainBytesNot72", Decodes(lon::DecodeIp852ChannelRouting), Changed(kRouting, 27, 71)},
    {"routingSubnetNodeBytesPastEnd", Decodes(lon::DecodeIp852ChannelRouting),
     Changed(kRouting, 25, 12)},
    {"routingDomainLengthTwo", Decodes(lon::DecodeIp852ChannelRouting),
     Changed(kRouting, kRouting.size() - 8, 2)},
};

void PrintTo(const MalformedCase& malformed, std::ostream* out) {
    *out << malformed.name;
}

class Ip852MalformedTest : public testing::TestWithParam<MalformedCase> {};

TEST_P(Ip852MalformedTest, DecodesToNothing) {
    EXPECT_FALSE(GetParam().decodes(GetParam().bytes));
}

INSTANTIATE_TEST_SUITE_P(Payloads, Ip852MalformedTest, testing::ValuesIn(kMalformed),
                         [](const testing::TestParamInfo<MalformedCase>& info) {
                             return info.param.name;
                         });

std::vector<lon::Ip852MemberEntry> Members(std::size_t count) {
    std::vector<lon::Ip852MemberEntry> members;
    for (std::size_t i = 0; i < count; ++i) {
        members.push_back({{0x0A000000 + static_cast<std::uint32_t>(i), 1628}, 0});
    }
    return members;
}

// A channel of the most members the sources take: the two-byte count says 256, and framed it is
// longer than one of their datagrams, so it goes as segments that put it back together.
TEST(Ip852Membership, TwoHundredFiftySixMembersGoAsSegments) {
    const lon::Ip852Membership membership{0xE8000010, 0, Members(lon::kIp852MaxMembers)};
    const Bytes payload = lon::EncodeIp852Membership(membership);
    ASSERT_EQ(payload.size(), 16u + 256u * 12u);
    EXPECT_EQ(payload[12], 0x01);
    EXPECT_EQ(payload[13], 0x00);
    EXPECT_EQ(lon::DecodeIp852Membership(payload), membership);

    lon::Ip852Header header;
    header.type = lon::kIp852ChannelMembership;
    const Bytes packet = lon::EncodeIp852(header, payload);
    ASSERT_TRUE(lon::NeedsIp852Segments(packet.size()));
    const std::vector<lon::Ip852Segment> segments = lon::SplitIp852Packet(packet, 9);
    ASSERT_EQ(segments.size(), 7u);  // 3108 bytes, 492 a segment
    Bytes joined;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        EXPECT_EQ(segments[i].segmentId, i);
        EXPECT_EQ(segments[i].requestId, 9);
        EXPECT_EQ(segments[i].dateTime, 0xE8000010u);
        const bool last = i + 1 == segments.size();
        EXPECT_EQ(segments[i].flags, last ? lon::kIp852SegmentValid | lon::kIp852SegmentFinal
                                          : lon::kIp852SegmentValid);
        EXPECT_EQ(segments[i].data.size(), last ? 3108u - 6u * 492u : 492u);
        joined.insert(joined.end(), segments[i].data.begin(), segments[i].data.end());
    }
    EXPECT_EQ(joined, packet);
}

TEST(Ip852Segments, ShortPacketsAndOversizedOnesAreNotSplit) {
    lon::Ip852Header header;
    header.type = lon::kIp852ChannelMembership;
    const Bytes small = lon::EncodeIp852(header, kMembership);
    EXPECT_FALSE(lon::NeedsIp852Segments(small.size()));
    EXPECT_EQ(lon::SplitIp852Packet(small, 1).size(), 1u);
    // 40 segments carry 19680 bytes; 1637 members need 19680 bytes and still fit, 1638 do not.
    const lon::Ip852Membership most{1, 0, Members(1637)};
    EXPECT_EQ(
        lon::SplitIp852Packet(lon::EncodeIp852(header, lon::EncodeIp852Membership(most)), 1).size(),
        40u);
    const lon::Ip852Membership tooMany{1, 0, Members(1638)};
    EXPECT_TRUE(
        lon::SplitIp852Packet(lon::EncodeIp852(header, lon::EncodeIp852Membership(tooMany)), 1)
            .empty());
    EXPECT_TRUE(lon::SplitIp852Packet(Bytes{1, 2, 3}, 1).empty());
}

// The send list's count is one byte: a list of 256 goes as its first 255, the most any member of
// a full channel sends to.
TEST(Ip852SendList, CountStopsAt255) {
    std::vector<lon::Ip852Endpoint> members;
    for (const lon::Ip852MemberEntry& entry : Members(256)) {
        members.push_back(entry.endpoint);
    }
    const Bytes payload = lon::EncodeIp852SendList({1, members});
    EXPECT_EQ(payload[4], 255);
    const auto decoded = lon::DecodeIp852SendList(payload);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->members.size(), 255u);
    EXPECT_EQ(decoded->members.back(), members[254]);
}

TEST(Ip852NodeRouting, OneNodeInItsDomain) {
    lon::Ip852ChannelRouting expected = Routing();
    expected.dateTime = 0;
    expected.domains[0].subnets = {};
    expected.domains[0].groups = {};
    EXPECT_EQ(lon::Ip852NodeRouting({0x0A000002, 1628}, {1, 2, 3, 4, 5, 6}, {1, {0x4A}}, {5, 7}),
              expected);
}

struct AddressCase {
    const char* text;
    std::optional<std::uint32_t> address;
};

class Ip852AddressTest : public testing::TestWithParam<AddressCase> {};

TEST_P(Ip852AddressTest, ParsesDottedQuadsOnly) {
    EXPECT_EQ(lon::ParseIp852Address(GetParam().text), GetParam().address);
    if (GetParam().address) {
        EXPECT_EQ(lon::Ip852AddressText(*GetParam().address), GetParam().text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Ip852AddressTest,
    testing::Values(AddressCase{"10.0.0.1", 0x0A000001}, AddressCase{"127.0.0.1", 0x7F000001},
                    AddressCase{"255.255.255.255", 0xFFFFFFFF}, AddressCase{"0.0.0.0", 0},
                    AddressCase{"256.0.0.1", std::nullopt}, AddressCase{"10.0.0", std::nullopt},
                    AddressCase{"10.0.0.1.", std::nullopt}, AddressCase{"10.0.0.01", std::nullopt},
                    AddressCase{"10.0.-1.1", std::nullopt}, AddressCase{"", std::nullopt},
                    AddressCase{"router", std::nullopt}));

TEST(Ip852DateTime, CountsFrom1900) {
    EXPECT_EQ(lon::Ip852DateTime(std::chrono::system_clock::time_point{}), 2208988800u);
    // 2024-01-01T00:00:00Z is 1704067200 s after 1970.
    EXPECT_EQ(
        lon::Ip852DateTime(std::chrono::system_clock::time_point{std::chrono::seconds{1704067200}}),
        1704067200u + 2208988800u);
    EXPECT_EQ(lon::Ip852EndpointText({0x0A000001, 1628}), "10.0.0.1:1628");
    EXPECT_EQ(lon::Ip852NameText(lon::Ip852Name(std::string(200, 'x'))), std::string(128, 'x'));
}

}  // namespace
