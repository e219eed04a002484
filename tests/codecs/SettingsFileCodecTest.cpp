#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "codecs/SettingsFileCodec.h"

namespace {

using codecs::SettingsFileCodec;
using Bytes = std::vector<std::uint8_t>;

// The value text without the "\n\n" that ends every formatted line.
std::string ValueLine(const std::string& formatted) {
    EXPECT_GE(formatted.size(), 2u);
    EXPECT_EQ(formatted.substr(formatted.size() - 2), "\n\n");
    return formatted.substr(0, formatted.size() - 2);
}

// The callers' loops: 32 indexes for 31 bytes, 3 selectors for 2, 5 indexes for 4.
Bytes ParseStrInt(std::string_view line) {
    const SettingsFileCodec c;
    Bytes buffer(32);
    for (int i = 0; i < 32; ++i) {
        buffer[i] = c.ParseStrIntByte(line, i);
    }
    EXPECT_EQ(buffer[31], 0);
    buffer.resize(31);
    return buffer;
}

Bytes ParseCount(std::string_view line) {
    const SettingsFileCodec c;
    Bytes buffer(3);
    for (int s = 0; s < 3; ++s) {
        buffer[s] = c.ParseCountByte(line, s);
    }
    EXPECT_EQ(buffer[2], buffer[1]);
    buffer.resize(2);
    return buffer;
}

Bytes ParseTimeSec(std::string_view line) {
    const SettingsFileCodec c;
    return {c.ParseTimeSecByte(line, 0), c.ParseTimeSecByte(line, 1)};
}

Bytes ParseTimePassed(std::string_view line) {
    const SettingsFileCodec c;
    Bytes buffer(5);
    for (int i = 0; i < 5; ++i) {
        buffer[i] = c.ParseTimePassedByte(line, i);
    }
    EXPECT_EQ(buffer[4], 0);
    buffer.resize(4);
    return buffer;
}

Bytes StrIntImage(int byte0, const std::array<int, 15>& words) {
    Bytes image(31);
    image[0] = static_cast<std::uint8_t>(byte0 & 0xFF);
    for (int k = 1; k <= 15; ++k) {
        image[2 * k - 1] = static_cast<std::uint8_t>(words[k - 1] >> 8);
        image[2 * k] = static_cast<std::uint8_t>(words[k - 1] & 0xFF);
    }
    return image;
}

TEST(SettingsFileCodec, FormatsValueLines) {
    const SettingsFileCodec c;
    const Bytes temp1 =
        StrIntImage(2, {64336, 2000, 0, 0, 0, 7000, 3500, 0, 0, 0, 500, 3300, 500, 7000, 5500});
    EXPECT_EQ(c.FormatStrInt(temp1.data()),
              "2, 64336, 2000, 0, 0, 0, 7000, 3500, 0, 0, 0, 500, 3300, 500, 7000, 5500\n\n");
    const Bytes extremes =
        StrIntImage(0xFE, {65535, 0, 1, 255, 256, 32768, 0, 0, 0, 0, 0, 0, 0, 0, 9});
    EXPECT_EQ(c.FormatStrInt(extremes.data()),
              "-2, 65535, 0, 1, 255, 256, 32768, 0, 0, 0, 0, 0, 0, 0, 0, 9\n\n");

    const std::uint8_t count[] = {0x00, 0xFF};
    EXPECT_EQ(c.FormatCount(count), "255\n\n");
    const std::uint8_t countMax[] = {0xFF, 0xFF};
    EXPECT_EQ(c.FormatCount(countMax), "65535\n\n");

    const std::uint8_t seconds[] = {0x0B, 0xB8};
    EXPECT_EQ(c.FormatTimeSec(seconds), "300.0\n\n");
    const std::uint8_t secondsWithTenths[] = {0x0B, 0xBD};
    EXPECT_EQ(c.FormatTimeSec(secondsWithTenths), "300.0\n\n");
    const std::uint8_t secondsMax[] = {0xFF, 0xFF};
    EXPECT_EQ(c.FormatTimeSec(secondsMax), "6553.0\n\n");
    const std::uint8_t secondsSmall[] = {0x00, 0x09};
    EXPECT_EQ(c.FormatTimeSec(secondsSmall), "0.0\n\n");

    const std::uint8_t passed[] = {0x04, 0x00, 0x00, 0xC8};
    EXPECT_EQ(c.FormatTimePassed(passed), "4, 0, 0, -56\n\n");
    const std::uint8_t passedEnds[] = {0x80, 0x7F, 0xFF, 0x01};
    EXPECT_EQ(c.FormatTimePassed(passedEnds), "-128, 127, -1, 1\n\n");
}

TEST(SettingsFileCodec, ParsesSingleValueLines) {
    EXPECT_EQ(ParseCount("255"), (Bytes{0x00, 0xFF}));
    EXPECT_EQ(ParseCount("64336"), (Bytes{0xFB, 0x50}));
    EXPECT_EQ(ParseCount(""), (Bytes{0x00, 0x00}));
    EXPECT_EQ(ParseTimeSec("300"), (Bytes{0x0B, 0xB8}));
    EXPECT_EQ(ParseTimeSec("300.0"), (Bytes{0x0B, 0xB8}));
    EXPECT_EQ(ParseTimeSec("0.3"), (Bytes{0x00, 0x03}));
    EXPECT_EQ(ParseTimeSec("6553.0"), (Bytes{0xFF, 0xFA}));
    EXPECT_EQ(ParseTimePassed("4, 0, 0, -56"), (Bytes{0x04, 0x00, 0x00, 0xC8}));
    EXPECT_EQ(ParseTimePassed("-128, 127, -1, 1"), (Bytes{0x80, 0x7F, 0xFF, 0x01}));
}

TEST(SettingsFileCodec, ParsesStrIntLines) {
    const SettingsFileCodec c;
    const std::string_view line = "-2, 65535, 2000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5500";
    const Bytes bytes = ParseStrInt(line);
    EXPECT_EQ(bytes[0], 0xFE);
    EXPECT_EQ(bytes[1], 0xFF);
    EXPECT_EQ(bytes[2], 0xFF);
    EXPECT_EQ(bytes[3], 0x07);
    EXPECT_EQ(bytes[4], 0xD0);
    EXPECT_EQ(bytes[29], 0x15);
    EXPECT_EQ(bytes[30], 0x7C);
    for (int i : {-1, 31, 32, 1000}) {
        EXPECT_EQ(c.ParseStrIntByte(line, i), 0) << i;
        EXPECT_EQ(c.ParseTimePassedByte("1, 2, 3, 4", i), 0) << i;
    }
    // A line read from a file in text mode that kept its carriage return still parses.
    EXPECT_EQ(ParseStrInt(std::string(line) + "\r"), bytes);
}

TEST(SettingsFileCodec, SkipFieldsTakesTheSeparatorToBeCommaSpace) {
    const SettingsFileCodec c;
    EXPECT_EQ(c.SkipFields("1, 22, 333", 0), 0u);
    EXPECT_EQ(c.SkipFields("1, 22, 333", 1), 3u);
    EXPECT_EQ(c.SkipFields("1, 22, 333", 2), 7u);
    EXPECT_EQ(c.SkipFields("1, 22, 333", 3), std::string_view::npos);
    EXPECT_EQ(c.SkipFields("1,", 1), 2u);  // nothing after the comma: the end of the line
    EXPECT_EQ(c.SkipFields("", 1), std::string_view::npos);
    EXPECT_EQ(c.SkipFields("1, 2", -3), 0u);

    // Without the space each following field loses its first character.
    EXPECT_EQ(ParseTimePassed("4,12,34,56"), (Bytes{4, 2, 4, 6}));
    const Bytes tight = ParseStrInt("2,1000,2000,0,0,0,0,0,0,0,0,0,0,0,0,5500");
    EXPECT_EQ(tight[0], 2);
    EXPECT_EQ((tight[1] << 8) | tight[2], 0);  // "000"
    EXPECT_EQ((tight[3] << 8) | tight[4], 0);
    EXPECT_EQ((tight[29] << 8) | tight[30], 500);
}

TEST(SettingsFileCodec, ShortLinesParseMissingFieldsAsZeroAndAreDetected) {
    const SettingsFileCodec c;
    const Bytes bytes = ParseStrInt("7, 1000, 2000");
    EXPECT_EQ(bytes[0], 7);
    EXPECT_EQ((bytes[1] << 8) | bytes[2], 1000);
    EXPECT_EQ((bytes[3] << 8) | bytes[4], 2000);
    for (int i = 5; i < 31; ++i) {
        EXPECT_EQ(bytes[i], 0) << i;
    }
    EXPECT_EQ(ParseTimePassed("4, 5"), (Bytes{4, 5, 0, 0}));
    EXPECT_EQ(ParseTimePassed("4"), (Bytes{4, 0, 0, 0}));

    const std::string full = "2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3300, 500, 7000, 5500";
    EXPECT_TRUE(c.HasFields(full, 16));
    EXPECT_FALSE(c.HasFields(full.substr(0, full.rfind(',')), 16));
    EXPECT_FALSE(c.HasFields("7, 1000, 2000", 16));
    EXPECT_TRUE(c.HasFields("4, 0, 0, 0", 4));
    EXPECT_FALSE(c.HasFields("4, 0, 0", 4));
    EXPECT_FALSE(c.HasFields("", 4));
    EXPECT_TRUE(c.HasFields("255", 1));
}

TEST(SettingsFileCodec, FactoryDefaultLinesGiveTheDocumentedBytes) {
    const Bytes temp1 =
        ParseStrInt("2, 64336, 2000, 0, 0, 0, 7000, 3500, 0, 0, 0, 500, 3300, 500, 7000, 5500");
    EXPECT_EQ(temp1, StrIntImage(2, {64336, 2000, 0, 0, 0, 7000, 3500, 0, 0, 0, 500, 3300, 500,
                                     7000, 5500}));
    EXPECT_EQ(temp1[1], 0xFB);
    EXPECT_EQ(temp1[2], 0x50);
    EXPECT_EQ(ParseStrInt("2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3300, 500, 7000, 5500"),
              StrIntImage(2, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3300, 500, 7000, 5500}));
    EXPECT_EQ(ParseCount("255"), (Bytes{0x00, 0xFF}));
    EXPECT_EQ(ParseTimeSec("300"), (Bytes{0x0B, 0xB8}));
    EXPECT_EQ(ParseTimePassed("4, 0, 0, 0"), (Bytes{0x04, 0x00, 0x00, 0x00}));

    struct PartLine {
        std::string_view line;
        std::array<int, 15> words;
    };
    const PartLine parts[] = {
        {"0, 216, 216, 80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2",
         {216, 216, 80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2}},
        {"0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 400, 800, 400, 800, 0, 0",
         {0, 0, 0, 0, 0, 0, 0, 0, 0, 400, 800, 400, 800, 0, 0}},
        {"0, 2000, 5, 2000, 5, 1500, 5, 700, 5, 700, 5, 65336, 3000, 200, 0, 0",
         {2000, 5, 2000, 5, 1500, 5, 700, 5, 700, 5, 65336, 3000, 200, 0, 0}},
        {"0, 1500, 1500, 2800, 200, 5, 8000, 15, 5, 0, 0, 0, 0, 0, 0, 0",
         {1500, 1500, 2800, 200, 5, 8000, 15, 5, 0, 0, 0, 0, 0, 0, 0}},
        {"0, 1800, 300, 1800, 300, 1800, 300, 1800, 300, 0, 0, 0, 0, 0, 0, 0",
         {1800, 300, 1800, 300, 1800, 300, 1800, 300, 0, 0, 0, 0, 0, 0, 0}},
        {"0, 0, 10000, 0, 2000, 2000, 50, 50, 50, 50, 0, 0, 0, 0, 0, 0",
         {0, 10000, 0, 2000, 2000, 50, 50, 50, 50, 0, 0, 0, 0, 0, 0}},
        {"0, 168, 168, 168, 168, 168, 168, 168, 168, 168, 0, 0, 0, 0, 0, 0",
         {168, 168, 168, 168, 168, 168, 168, 168, 168, 0, 0, 0, 0, 0, 0}},
        {"0, 100, 60, 5, 100, 60, 5, 100, 60, 5, 100, 60, 5, 0, 0, 0",
         {100, 60, 5, 100, 60, 5, 100, 60, 5, 100, 60, 5, 0, 0, 0}},
        {"0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0", {}},
    };
    const SettingsFileCodec c;
    for (const PartLine& p : parts) {
        EXPECT_TRUE(c.HasFields(p.line, 16)) << p.line;
        EXPECT_EQ(ParseStrInt(p.line), StrIntImage(0, p.words)) << p.line;
        // The writer gives the default line back, so an export after a reset matches it.
        EXPECT_EQ(ValueLine(c.FormatStrInt(StrIntImage(0, p.words).data())), p.line);
    }
}

TEST(SettingsFileCodec, WriterAndReaderAgreeOnRandomImages) {
    const SettingsFileCodec c;
    std::mt19937 random(20260612u);
    std::uniform_int_distribution<int> byteDist(0, 255);
    auto randomBytes = [&](std::size_t n) {
        Bytes bytes(n);
        for (auto& b : bytes) {
            b = static_cast<std::uint8_t>(byteDist(random));
        }
        return bytes;
    };
    for (int round = 0; round < 400; ++round) {
        const Bytes strInt = randomBytes(31);
        const std::string strIntLine = ValueLine(c.FormatStrInt(strInt.data()));
        EXPECT_TRUE(c.HasFields(strIntLine, 16));
        EXPECT_EQ(ParseStrInt(strIntLine), strInt) << strIntLine;

        const Bytes count = randomBytes(2);
        EXPECT_EQ(ParseCount(ValueLine(c.FormatCount(count.data()))), count);

        const Bytes passed = randomBytes(4);
        const std::string passedLine = ValueLine(c.FormatTimePassed(passed.data()));
        EXPECT_TRUE(c.HasFields(passedLine, 4));
        EXPECT_EQ(ParseTimePassed(passedLine), passed) << passedLine;

        // Seconds keep whole seconds only: the tenths digit comes back as 0.
        const Bytes seconds = randomBytes(2);
        const int tenths = (seconds[0] << 8) | seconds[1];
        const int whole = tenths / 10 * 10;
        EXPECT_EQ(
            ParseTimeSec(ValueLine(c.FormatTimeSec(seconds.data()))),
            (Bytes{static_cast<std::uint8_t>(whole >> 8), static_cast<std::uint8_t>(whole & 0xFF)}))
            << tenths;
    }
    // Every possible seconds word, since the product by 10 must be exact for all of them.
    for (int tenths = 0; tenths <= 65535; ++tenths) {
        const std::uint8_t image[] = {static_cast<std::uint8_t>(tenths >> 8),
                                      static_cast<std::uint8_t>(tenths & 0xFF)};
        const Bytes back = ParseTimeSec(ValueLine(c.FormatTimeSec(image)));
        ASSERT_EQ((back[0] << 8) | back[1], tenths / 10 * 10) << tenths;
    }
}

TEST(SettingsFileCodec, ExportTimestamp) {
    const SettingsFileCodec c;
    struct Clock {
        int year, month, day, hour, minute, second;
    };
    struct Case {
        Clock clock;
        std::string_view date, time;
    };
    const Case cases[] = {
        {{2026, 12, 6, 9, 5, 7}, "6/12-2026 ", "9:05:07"},
        {{2026, 1, 31, 23, 59, 59}, "31/1-2026 ", "23:59:59"},
        {{2000, 10, 10, 0, 0, 0}, "10/10-2000 ", "0:00:00"},
        {{2099, 2, 28, 12, 10, 9}, "28/2-2099 ", "12:10:09"},
        {{2100, 3, 1, 10, 30, 45}, "1/3-2000 ", "10:30:45"},  // two-digit year of the runtime
    };
    for (const Case& k : cases) {
        EXPECT_EQ(c.FormatExportDate(k.clock.year, k.clock.month, k.clock.day), k.date);
        EXPECT_EQ(c.FormatExportTime(k.clock.hour, k.clock.minute, k.clock.second), k.time);
    }
}

}  // namespace
