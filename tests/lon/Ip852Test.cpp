#include <gtest/gtest.h>

#include "lon/Ip852.h"

namespace {

using lon::Bytes;

lon::Ip852Header Header() {
    lon::Ip852Header h;
    h.session = 7;
    h.sequence = 9;
    return h;
}

const Bytes kSecret = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

TEST(Ip852, HeaderFieldsBigEndian) {
    const Bytes packet = lon::EncodeIp852(Header(), Bytes{0x01, 0x02});
    EXPECT_EQ(packet, (Bytes{0x00, 0x16, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                             0x07, 0x00, 0x00, 0x00, 0x09, 0x00, 0x00, 0x00, 0x00, 0x01, 0x02}));
}

// MD5 over the packet (authenticated flag set), sixteen zero bytes and the secret; the digest
// follows the packet and is not counted in its length.
TEST(Ip852, DigestFollowsThePacket) {
    const Bytes packet = lon::EncodeIp852(Header(), Bytes{0x01, 0x02}, kSecret);
    ASSERT_EQ(packet.size(), 22u + 16u);
    EXPECT_EQ(packet[1], 22);
    EXPECT_EQ(packet[5], lon::kIp852Authenticated);
    const Bytes digest(packet.begin() + 22, packet.end());
    EXPECT_EQ(digest, (Bytes{0x58, 0xf9, 0xec, 0xfe, 0x58, 0xda, 0x80, 0x95, 0x30, 0x5c, 0x07, 0x61,
                             0xf9, 0x32, 0x00, 0x7a}));
    EXPECT_EQ(lon::DecodeIp852(packet, kSecret).packets.size(), 1u);
}

struct DecodeCase {
    const char* name;
    Bytes datagram;
    Bytes secret;
    std::size_t packets;
    lon::Ip852Fault fault;
};

Bytes Joined(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Changed(Bytes bytes, std::size_t at, std::uint8_t value) {
    bytes[at] = value;
    return bytes;
}

const Bytes kPlain = lon::EncodeIp852(Header(), Bytes{0xAA, 0xBB});
const Bytes kSigned = lon::EncodeIp852(Header(), Bytes{0xAA, 0xBB}, kSecret);
// One extended-header word (4 bytes) before the payload, counted in the length.
const Bytes kExtended = {0x00, 0x1A, 0x01, 0x01, 0x01, 0x00, 0, 0, 0, 0, 0, 7,    0,
                         0,    0,    9,    0,    0,    0,    0, 9, 9, 9, 9, 0xAA, 0xBB};

class Ip852DecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(Ip852DecodeTest, SplitsAndChecks) {
    const lon::Ip852Datagram d = lon::DecodeIp852(GetParam().datagram, GetParam().secret);
    EXPECT_EQ(d.packets.size(), GetParam().packets);
    EXPECT_EQ(d.fault, GetParam().fault);
    for (const lon::Ip852Packet& p : d.packets) {
        EXPECT_EQ(p.payload, (Bytes{0xAA, 0xBB}));
        EXPECT_EQ(p.header.sequence, 9u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Datagrams, Ip852DecodeTest,
    testing::Values(
        DecodeCase{"plain", kPlain, {}, 1, lon::Ip852Fault::None},
        DecodeCase{"extendedHeaderSkipped", kExtended, {}, 1, lon::Ip852Fault::None},
        DecodeCase{"twoInOne", Joined(kPlain, kPlain), {}, 2, lon::Ip852Fault::None},
        DecodeCase{"trailingShort", Joined(kPlain, Bytes(5, 0)), {}, 1, lon::Ip852Fault::Malformed},
        DecodeCase{"lengthPastEnd", Changed(kPlain, 1, 23), {}, 0, lon::Ip852Fault::Malformed},
        DecodeCase{"lengthInsideHeader", Changed(kPlain, 1, 19), {}, 0, lon::Ip852Fault::Malformed},
        DecodeCase{"extensionPastLength", Changed(kPlain, 4, 1), {}, 0, lon::Ip852Fault::Malformed},
        DecodeCase{"signed", kSigned, kSecret, 1, lon::Ip852Fault::None},
        DecodeCase{"signedNoSecret", kSigned, {}, 0, lon::Ip852Fault::BadDigest},
        DecodeCase{"tampered", Changed(kSigned, 20, 0xAB), kSecret, 0, lon::Ip852Fault::BadDigest},
        DecodeCase{"wrongSecret", kSigned, Bytes(16, 1), 0, lon::Ip852Fault::BadDigest},
        DecodeCase{"digestMissing", kPlain, kSecret, 0, lon::Ip852Fault::Malformed}),
    [](const testing::TestParamInfo<DecodeCase>& info) { return info.param.name; });

TEST(SequenceFilter, DropsStaleAndDuplicateUntilANewSession) {
    lon::SequenceFilter filter;
    EXPECT_TRUE(filter.Accept(1, 10));
    EXPECT_FALSE(filter.Accept(1, 10));  // duplicate
    EXPECT_TRUE(filter.Accept(1, 12));
    EXPECT_FALSE(filter.Accept(1, 11));          // older
    EXPECT_TRUE(filter.Accept(2, 3));            // the member restarted
    EXPECT_FALSE(filter.Accept(2, 0xFFFFFFFF));  // behind, across the wrap
    lon::SequenceFilter wrapping;
    EXPECT_TRUE(wrapping.Accept(5, 0xFFFFFFFF));
    EXPECT_TRUE(wrapping.Accept(5, 0));
}

// The stale rule across the 32-bit wrap of the millisecond count, and where it does not apply.
struct StaleRuleCase {
    std::uint32_t packet;
    std::optional<std::uint32_t> ours;
    long timeoutMs;
    bool stale;
};

class StaleRuleTest : public testing::TestWithParam<StaleRuleCase> {};

TEST_P(StaleRuleTest, JudgesTheDifferenceBothWays) {
    const StaleRuleCase& c = GetParam();
    EXPECT_EQ(lon::IsStaleIp852(c.packet, c.ours, lon::Millis(c.timeoutMs)), c.stale);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StaleRuleTest,
    testing::Values(StaleRuleCase{10'000, 10'500, 1000, false},
                    StaleRuleCase{10'000, 11'001, 1000, true},
                    StaleRuleCase{11'001, 10'000, 1000, true},
                    StaleRuleCase{0xFFFF'FF00u, 0x0000'0100u, 1000, false},  // across the wrap
                    StaleRuleCase{0xFFFF'0000u, 0x0001'0000u, 1000, true},
                    StaleRuleCase{0, 99'999, 1000, false},  // the sender is not synchronised
                    StaleRuleCase{10'000, std::nullopt, 1000, false},  // we are not
                    StaleRuleCase{10'000, 99'999, 0, false}));         // no channel timeout

TEST(Ip852, TimestampIsUtcMillisecondsOnlyWhenSynchronised) {
    const lon::Millis utc{1'765'432'109'876};
    EXPECT_EQ(lon::Ip852Timestamp(false, utc), 0u);
    EXPECT_EQ(lon::Ip852Timestamp(true, utc),
              static_cast<std::uint32_t>(1'765'432'109'876 % (1LL << 32)));
}

}  // namespace
