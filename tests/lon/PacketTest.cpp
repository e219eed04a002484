#include <gtest/gtest.h>

#include <string_view>

#include "lon/Crc16.h"
#include "lon/Packet.h"

namespace {

using lon::AddressKind;
using lon::Bytes;
using lon::Packet;

// The CRC's check value over "123456789" for polynomial 0x1021, start 0xFFFF, complemented.
TEST(Crc16, CheckValueAndPlacement) {
    constexpr std::string_view kCheck = "123456789";
    const Bytes text(kCheck.begin(), kCheck.end());
    EXPECT_EQ(lon::Crc16(text), 0xD64E);
    const Bytes framed = lon::WithCrc(text);
    EXPECT_EQ(framed[9], 0xD6);  // high byte first
    EXPECT_TRUE(lon::CrcMatches(framed));
    Bytes damaged = framed;
    damaged[3] ^= 0x01;
    EXPECT_FALSE(lon::CrcMatches(damaged));
}

struct AddressCase {
    const char* name;
    lon::Address address;
    std::uint8_t domainLength;
    Bytes expected;  // the whole packet without CRC
};

Packet Sample(const AddressCase& c) {
    Packet p;
    p.priority = true;
    p.deltaBacklog = 5;
    p.format = lon::PduFormat::Session;
    p.address = c.address;
    p.domain.length = c.domainLength;
    p.domain.id = {0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6};
    for (std::size_t i = c.domainLength; i < p.domain.id.size(); ++i) {
        p.domain.id[i] = 0;
    }
    p.type = lon::kSpduRequest;
    p.transaction = 9;
    p.body = {0x73, 0x2C};
    return p;
}

class PacketFormatTest : public testing::TestWithParam<AddressCase> {};

TEST_P(PacketFormatTest, EncodesAsTheDissectorReadsAndDecodesBack) {
    const Packet p = Sample(GetParam());
    EXPECT_EQ(lon::Encode(p), GetParam().expected);
    EXPECT_EQ(lon::DecodeWithCrc(lon::EncodeWithCrc(p)), p);
}

TEST_P(PacketFormatTest, RefusesEveryTruncation) {
    const Bytes bytes = lon::Encode(Sample(GetParam()));
    // The APDU may be cut anywhere after its code byte; before it the packet is incomplete.
    const std::size_t complete = bytes.size() - 1;
    for (std::size_t size = 0; size < complete; ++size) {
        EXPECT_FALSE(lon::Decode(lon::ByteView(bytes).first(size))) << "size " << size;
    }
}

lon::Address Make(AddressKind kind) {
    lon::Address a;
    a.kind = kind;
    a.source = {1, 126};
    switch (kind) {
        case AddressKind::Group:
            a.group = 0x21;
            break;
        case AddressKind::GroupResponse:
            a.group = 0x21;
            a.member = 0x22;
            a.destination = {3, 4};
            break;
        case AddressKind::SubnetNode:
            a.destination = {3, 4};
            break;
        case AddressKind::NeuronId:
            a.neuronId = {0x05, 0x01, 0x02, 0x03, 0x04, 0x05};
            a.destination.subnet = 3;
            break;
        case AddressKind::Broadcast:
            a.destination.subnet = 3;
            break;
    }
    return a;
}

// Byte 0 priority and backlog; byte 1 version 0, PDU format, address format, domain code; then
// the address, the domain, the SPDU header (request, transaction 9) and the APDU.
INSTANTIATE_TEST_SUITE_P(
    Formats, PacketFormatTest,
    testing::Values(AddressCase{"broadcast",
                                Make(AddressKind::Broadcast),
                                0,
                                {0x85, 0x10, 0x01, 0xFE, 0x03, 0x09, 0x73, 0x2C}},
                    AddressCase{"group",
                                Make(AddressKind::Group),
                                1,
                                {0x85, 0x15, 0x01, 0xFE, 0x21, 0xD1, 0x09, 0x73, 0x2C}},
                    AddressCase{
                        "subnetNode",
                        Make(AddressKind::SubnetNode),
                        3,
                        {0x85, 0x1A, 0x01, 0xFE, 0x03, 0x84, 0xD1, 0xD2, 0xD3, 0x09, 0x73, 0x2C}},
                    AddressCase{"groupResponse",
                                Make(AddressKind::GroupResponse),
                                6,
                                {0x85, 0x1B, 0x01, 0x7E, 0x03, 0x84, 0x21, 0x22, 0xD1, 0xD2, 0xD3,
                                 0xD4, 0xD5, 0xD6, 0x09, 0x73, 0x2C}},
                    AddressCase{"neuronId",
                                Make(AddressKind::NeuronId),
                                1,
                                {0x85, 0x1D, 0x01, 0xFE, 0x03, 0x05, 0x01, 0x02, 0x03, 0x04, 0x05,
                                 0xD1, 0x09, 0x73, 0x2C}}),
    [](const testing::TestParamInfo<AddressCase>& info) { return info.param.name; });

TEST(PacketDecode, RefusesOtherProtocolVersionsAndBadCrc) {
    Bytes bytes = lon::Encode(Sample({"", Make(AddressKind::SubnetNode), 1, {}}));
    EXPECT_TRUE(lon::Decode(bytes));
    Bytes framed = lon::WithCrc(bytes);
    framed[framed.size() - 1] ^= 0xFF;
    EXPECT_FALSE(lon::DecodeWithCrc(framed));
    bytes[1] |= 0x40;
    EXPECT_FALSE(lon::Decode(bytes));
}

}  // namespace
