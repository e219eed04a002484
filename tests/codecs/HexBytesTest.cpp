#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "codecs/HexBytes.h"

namespace {

struct HexCase {
    std::string_view text;
    std::string_view blanks;
    bool ok;
    std::vector<std::uint8_t> bytes;
};

class ParseHexBytesTest : public testing::TestWithParam<HexCase> {};

TEST_P(ParseHexBytesTest, ReadsTwoDigitsAByte) {
    const HexCase& c = GetParam();
    std::vector<std::uint8_t> bytes{0x55};
    EXPECT_EQ(codecs::ParseHexBytes(c.text, bytes, c.blanks), c.ok) << "text: \"" << c.text << "\"";
    EXPECT_EQ(bytes, c.bytes) << "text: \"" << c.text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseHexBytesTest,
    testing::Values(HexCase{"00 08 FF", codecs::kHexBlanks, true, {0x00, 0x08, 0xFF}},
                    HexCase{"0008ff", codecs::kHexBlanks, true, {0x00, 0x08, 0xFF}},
                    HexCase{"\tAb\n", codecs::kHexBlanks, true, {0xAB}},
                    HexCase{"", codecs::kHexBlanks, true, {}},
                    HexCase{"0 08", codecs::kHexBlanks, false, {}},
                    HexCase{"008", codecs::kHexBlanks, false, {}},
                    HexCase{"zz", codecs::kHexBlanks, false, {}},
                    HexCase{"00\t08", " ", false, {}}));

TEST(HexDigitValue, EitherCase) {
    EXPECT_EQ(codecs::HexDigitValue('7'), 7);
    EXPECT_EQ(codecs::HexDigitValue('a'), 10);
    EXPECT_EQ(codecs::HexDigitValue('F'), 15);
    EXPECT_EQ(codecs::HexDigitValue('g'), -1);
}

}  // namespace
