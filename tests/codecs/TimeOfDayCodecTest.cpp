#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "codecs/TimeOfDayCodec.h"

namespace {

using codecs::TimeByte;
using codecs::TimeOfDayCodec;

TEST(TimeOfDayCodec, FormatsHoursWithoutLeadingZero) {
    const TimeOfDayCodec c;
    const std::pair<int, std::string_view> cases[] = {
        {0, "0:00"},    {1, "0:15"},    {4, "1:00"},    {33, "8:15"},
        {40, "10:00"},  {64, "16:00"},  {95, "23:45"},  {96, "24:00"},
        {100, "25:00"}, {127, "31:45"}, {128, "32:00"}, {255, "63:45"},
    };
    for (const auto& [byte, text] : cases) {
        EXPECT_EQ(c.FormatTime(static_cast<TimeByte>(byte)), text) << byte;
    }
}

TEST(TimeOfDayCodec, EveryTimeOfDayRoundTrips) {
    const TimeOfDayCodec c;
    for (int b = 0; b <= 96; ++b) {
        const std::string text = c.FormatTime(static_cast<TimeByte>(b));
        ASSERT_TRUE(c.IsValidTime(text)) << text;
        EXPECT_EQ(c.ParseTime(text), b) << text;
    }
}

TEST(TimeOfDayCodec, ParsesToTheQuarterHourBelow) {
    const TimeOfDayCodec c;
    const std::pair<std::string_view, int> cases[] = {
        {"7:15", 29},  {"7:20", 29}, {"7:29", 29}, {"7:59", 31},  {"07:30", 30},
        {"24:00", 96}, {"0:00", 0},  {"0:14", 0},  {"23:45", 95}, {"1:45", 7},
    };
    for (const auto& [text, byte] : cases) {
        EXPECT_EQ(c.ParseTime(text), byte) << text;
    }
    EXPECT_EQ(c.FormatTime(c.ParseTime("07:30")), "7:30");
    EXPECT_EQ(c.FormatTime(c.ParseTime("7:20")), "7:15");
    // Exact for every hour and quarter, not only the ones above.
    for (int h = 0; h < 64; ++h) {
        for (int q = 0; q < 4; ++q) {
            const std::string text =
                std::to_string(h) + ":" + (q == 0 ? "00" : std::to_string(q * 15));
            EXPECT_EQ(c.ParseTime(text), h * 4 + q) << text;
        }
    }
}

TEST(TimeOfDayCodec, ParseTimeKeepsLowBitsAndToleratesMissingColon) {
    const TimeOfDayCodec c;
    EXPECT_EQ(c.ParseTime("64:00"), 0);  // 256 stored in 8 bits
    EXPECT_EQ(c.ParseTime("7"), 28);
    EXPECT_EQ(c.ParseTime(""), 0);
}

TEST(TimeOfDayCodec, IsValidTime) {
    const TimeOfDayCodec c;
    const std::pair<std::string_view, bool> cases[] = {
        {"0:00", true},   {"7:15", true},   {"07:30", true},   {"23:59", true},
        {"24:00", true},  {"9:45", true},   {"7:20", true},    {"24:15", false},
        {"24:01", false}, {"25:00", false}, {"7:60", false},   {"7:5", false},
        {"730", false},   {"0730", false},  {"12:3", false},   {"-1:00", false},
        {"7 :30", false}, {"7: 30", false}, {" 7:30", false},  {"7:30 ", false},
        {"", false},      {"7", false},     {"123:00", false}, {"7:300", false},
        {"7.30", false},  {"0:-1", false},  {"12:34:", false}, {"1:2:3", false},
        {"99:00", false}, {"ab:cd", true},  // no digits read as 0:00, as typed text does
    };
    for (const auto& [text, valid] : cases) {
        EXPECT_EQ(c.IsValidTime(text), valid) << '"' << text << '"';
    }
}

TEST(TimeOfDayCodec, CheckTimeFields) {
    const TimeOfDayCodec c;
    struct Case {
        std::string_view hours, minutes;
        bool valid;
    };
    const Case cases[] = {
        {"24", "00", true},  {"24", "0", false}, {"24", "15", false},   {"23", "59", true},
        {"25", "00", false}, {"7", "60", false}, {"-1", "00", false},   {"7", "-1", false},
        {"0", "0", true},    {"", "", true},     {"7.9", "59.9", true},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(c.CheckTimeFields(k.hours, k.minutes), k.valid) << k.hours << ":" << k.minutes;
    }
}

}  // namespace
