// The hot-water tank calendar page on the simulated node: the tank's calendar on the calendar 2
// bytes of part 12 (the presence calendar of circuit 2 keeps the calendar 1 bytes), the five
// bactericidal settings of part 4 written before the calendar and whatever becomes of it, the
// calendar checks with their messages, Reset, and a failed part selection.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "PageBytes.h"
#include "SheetFixture.h"
#include "res/HotWaterCalendarDialog.h"

namespace {

using host::Bytes;
using namespace res::hot_water_calendar;

// Each time edit and its byte in part 12: stop first, Sunday first.
const std::pair<int, int> kEditBytes[] = {
    {393, 3},  {392, 4},  {380, 7},  {381, 8},  {383, 11}, {382, 12}, {385, 15},
    {384, 16}, {387, 19}, {386, 20}, {389, 23}, {388, 24}, {391, 27}, {390, 28},
};
constexpr int kMondayStart = 381;
constexpr int kMondayStop = 380;
const char* const kTankMessage = "Error in Watertank calender, unequal start and stoptimes";
const char* const kOneError = "1 errors occured, data not written to NV";
const char* const kFormatHint =
    " errors occured, data not written to NV. (Correct time format is 'H:MM' or 'HH:MM')";

bool PageByte(int byte) {
    for (const auto& [edit, b] : kEditBytes) {
        if (b == byte) {
            return true;
        }
    }
    return false;
}

std::string TimeText(int quarterHours) {
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d", quarterHours / 4, quarterHours % 4 * 15);
    return text;
}

// A consistent part 12: byte 0 not 0, the presence calendar's days from 7:00 + d quarters to
// 19:00, the tank's days 6:00 to 20:00, the holiday pair 5:00 to 22:00.
Bytes NodeCalendar() {
    Bytes bytes(31, 0);
    bytes[0] = 0x5A;
    for (int day = 0; day < 7; ++day) {
        bytes[1 + 4 * day] = 76;
        bytes[2 + 4 * day] = static_cast<std::uint8_t>(28 + day);
        bytes[3 + 4 * day] = 80;
        bytes[4 + 4 * day] = 24;
    }
    bytes[29] = 88;
    bytes[30] = 20;
    return bytes;
}

class HotWaterCalendarPageTest : public SheetFixture {
protected:
    // Shows the page with NV 44 at selector.
    CNodePage& ShowPage(int selector = 0) {
        if (!sheet) {
            Open();
        }
        node.SetSelector(selector);
        return Show(sheet->hotWaterCalendar);
    }

    std::vector<Bytes> AllParts() const {
        std::vector<Bytes> parts;
        for (int p = 1; p <= nv::kPartCount; ++p) {
            parts.push_back(PartBytes(node.Part(p)));
        }
        return parts;
    }
};

// Part 12 then part 4, each selected only when NV 44 does not hold it; the timer runs but
// its ticks read nothing.
TEST_F(HotWaterCalendarPageTest, ShowReadsTheCalendarThenTheBactericidalSettings) {
    Bytes part12 = NodeCalendar();
    for (const auto& [edit, byte] : kEditBytes) {
        part12[byte] = static_cast<std::uint8_t>(3 * byte);
    }
    node.SetPart(12, part12);
    Bytes part4 = Pattern(0x40);
    const Bytes words = {0xFF, 0x06, 0x00, 0x05, 0x1F, 0x40, 0x00, 0x0F, 0xFF, 0xFF};
    std::copy(words.begin(), words.end(), part4.begin() + 7);
    node.SetPart(4, part4);
    const struct {
        int selector;
        std::vector<std::string> calls;
    } cases[] = {
        {0,
         {"ReadNv 44 31 -> 0", "WriteNv 44 00 0C -> 0", "ReadNv 45 32 -> 0", "ReadNv 44 31 -> 0",
          "WriteNv 44 00 04 -> 0", "ReadNv 45 32 -> 0"}},
        {12,
         {"ReadNv 44 31 -> 0", "ReadNv 45 32 -> 0", "ReadNv 44 31 -> 0", "WriteNv 44 00 04 -> 0",
          "ReadNv 45 32 -> 0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selector);
        if (sheet) {
            sheet->SetActivePage(0);
        }
        CNodePage& page = ShowPage(c.selector);
        EXPECT_EQ(calls, c.calls);
        for (const auto& [edit, byte] : kEditBytes) {
            EXPECT_EQ(page.GetDlgItemText(edit), TimeText(3 * byte)) << "edit " << edit;
        }
        EXPECT_EQ(page.GetDlgItemText(kDeltaTemperature), "-2.5");
        EXPECT_EQ(page.GetDlgItemText(kDeltaTime), "5");
        EXPECT_EQ(page.GetDlgItemText(kMinTemperature), "80.0");
        EXPECT_EQ(page.GetDlgItemText(kRaisingPeriod), "15");
        EXPECT_EQ(page.GetDlgItemText(kPumpStopDelay), "65535");
        EXPECT_TRUE(page.IsTimerRunning(1));
        EXPECT_EQ(page.OnInitDialog(), TRUE);

        page.SetDlgItemText(kDeltaTime, "9");
        Forget();
        page.DeliverTimer(1);
        EXPECT_TRUE(calls.empty());
        EXPECT_EQ(page.GetDlgItemText(kDeltaTime), "9");
    }
}

// Every case starts from Reset ("0:00" in the time edits) and types its texts, with a delta
// time of its own: the bactericidal settings are written whether the calendar is accepted or
// not. An accepted calendar is written with byte 0 as 0 and the presence calendar's bytes as
// the node held them; a rejected one shows its messages and leaves part 12 as it was.
TEST_F(HotWaterCalendarPageTest, WriteStoresTheSettingsThenChecksAndWritesTheCalendar) {
    const struct {
        const char* name;
        std::vector<std::pair<int, const char*>> typed;
        std::vector<std::pair<int, int>> nodeBytes;  // changes to NodeCalendar()
        std::vector<std::pair<int, int>> written;    // the page's bytes not 0
        std::vector<std::string> messages;           // none: accepted
    } cases[] = {
        {"Reset", {}, {}, {}, {}},
        {"Monday 6:00 to 8:00",
         {{kMondayStart, "6:00"}, {kMondayStop, "8:00"}},
         {},
         {{7, 32}, {8, 24}},
         {}},
        {"Sunday", {{392, "23:45"}, {393, "24:00"}}, {}, {{3, 96}, {4, 95}}, {}},
        {"start without stop", {{kMondayStart, "6:00"}}, {}, {}, {kTankMessage, kOneError}},
        {"stop before start", {{kMondayStart, "8:00"}, {kMondayStop, "6:00"}}, {}, {}, {kOneError}},
        // The rejected text leaves the node's 6:00 in byte 8, which pairs with the typed stop.
        {"6.00",
         {{kMondayStart, "6.00"}, {kMondayStop, "8:00"}},
         {},
         {},
         {"1" + std::string(kFormatHint)}},
        // Pairs no edit of this page shows are carried through unchecked.
        {"a presence pair out of order", {}, {{5, 16}, {6, 32}}, {}, {}},
        {"the holiday pair out of order", {}, {{29, 5}, {30, 9}}, {}, {}},
    };
    CNodePage& page = ShowPage();
    int deltaTime = 100;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes before = NodeCalendar();
        for (const auto& [byte, value] : c.nodeBytes) {
            before[byte] = static_cast<std::uint8_t>(value);
        }
        node.SetPart(12, before);
        node.SetPart(4, Pattern(0x41));
        const std::vector<Bytes> parts = AllParts();
        Click(page, res::common::kRead);
        Click(page, res::calendar::kReset);
        for (const auto& [edit, text] : c.typed) {
            page.SetDlgItemText(edit, text);
        }
        ++deltaTime;
        page.SetDlgItemText(kDeltaTime, std::to_string(deltaTime));
        node.SetSelector(0);
        Forget();
        Click(page, res::common::kWrite);
        EXPECT_EQ(desktop.MessageTexts(), c.messages);
        EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");

        Bytes part4 = parts[3];
        part4[9] = static_cast<std::uint8_t>(deltaTime >> 8);
        part4[10] = static_cast<std::uint8_t>(deltaTime);
        EXPECT_EQ(Hex(PartBytes(node.Part(4))), Hex(part4));
        EXPECT_EQ(page.GetDlgItemText(kDeltaTime), std::to_string(deltaTime));
        Bytes expected = before;
        if (c.messages.empty()) {
            expected[0] = 0;
            for (int byte = 1; byte < 31; ++byte) {
                if (PageByte(byte)) {
                    expected[byte] = 0;
                }
            }
            for (const auto& [byte, value] : c.written) {
                expected[byte] = static_cast<std::uint8_t>(value);
            }
        }
        EXPECT_EQ(Hex(PartBytes(node.Part(12))), Hex(expected));
        for (int p = 1; p <= nv::kPartCount; ++p) {
            if (p != 4 && p != 12) {
                EXPECT_EQ(PartBytes(node.Part(p)), parts[p - 1]) << "part " << p;
            }
        }
        if (c.messages.empty()) {
            // Written, then read back by the calendar write and once more at the end.
            const std::vector<std::string> read = {"ReadNv 44 31 -> 0", "ReadNv 45 32 -> 0",
                                                   "ReadNv 44 31 -> 0", "WriteNv 44 00 04 -> 0",
                                                   "ReadNv 45 32 -> 0"};
            std::vector<std::string> expectedCalls = {
                "ReadNv 44 31 -> 0", "WriteNv 44 00 04 -> 0",
                "ReadNv 45 32 -> 0", "WriteNv 45 " + Hex(part4) + " -> 0",
                "ReadNv 44 31 -> 0", "WriteNv 44 00 0C -> 0",
                "ReadNv 45 32 -> 0", "WriteNv 45 " + Hex(expected) + " -> 0"};
            expectedCalls.insert(expectedCalls.end(), read.begin(), read.end());
            expectedCalls.push_back("ReadNv 44 31 -> 0");
            expectedCalls.push_back("WriteNv 44 00 0C -> 0");
            expectedCalls.insert(expectedCalls.end(), read.begin() + 1, read.end());
            EXPECT_EQ(calls, expectedCalls);
            for (const auto& [edit, byte] : kEditBytes) {
                EXPECT_EQ(page.GetDlgItemText(edit), TimeText(expected[byte])) << "edit " << edit;
            }
        } else {
            EXPECT_EQ(CallsOf("WriteNv 45").size(), 1u);
        }
    }
}

// The five settings into bytes 7-16 of part 4, hundredths and whole words truncated, no checks;
// a Write that touches none of them leaves every word as stored, digits beyond those shown too.
TEST_F(HotWaterCalendarPageTest, BactericidalSettingsAreStoredAndShownAgain) {
    const struct {
        const char* name;
        std::vector<std::pair<int, const char*>> typed;
        Bytes stored;  // bytes 7-16
        std::vector<const char*> shown;
    } cases[] = {
        {"typed",
         {{kDeltaTemperature, "-2.5"},
          {kDeltaTime, "12abc"},
          {kMinTemperature, "65.5"},
          {kRaisingPeriod, "-1"},
          {kPumpStopDelay, "abc"}},
         {0xFF, 0x06, 0x00, 0x0C, 0x19, 0x96, 0xFF, 0xFF, 0x00, 0x00},
         {"-2.5", "12", "65.5", "65535", "0"}},
        {"untouched",
         {},
         {0x00, 0x07, 0x00, 0x02, 0x1F, 0x41, 0x00, 0x03, 0x00, 0x04},
         {"0.1", "2", "80.0", "3", "4"}},
    };
    const int ids[] = {kDeltaTemperature, kDeltaTime, kMinTemperature, kRaisingPeriod,
                       kPumpStopDelay};
    CNodePage& page = ShowPage();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes part4 = Pattern(0x21);
        const Bytes held = {0x00, 0x07, 0x00, 0x02, 0x1F, 0x41, 0x00, 0x03, 0x00, 0x04};
        std::copy(held.begin(), held.end(), part4.begin() + 7);
        node.SetPart(4, part4);
        Click(page, res::common::kRead);
        for (const auto& [edit, text] : c.typed) {
            page.SetDlgItemText(edit, text);
        }
        Click(page, res::common::kWrite);
        std::copy(c.stored.begin(), c.stored.end(), part4.begin() + 7);
        EXPECT_EQ(Hex(PartBytes(node.Part(4))), Hex(part4));
        for (int k = 0; k < 5; ++k) {
            EXPECT_EQ(page.GetDlgItemText(ids[k]), c.shown[k]) << "edit " << ids[k];
        }
    }
}

// Reset and the sheet's cancel put "0:00" into the time edits; the settings keep their texts.
TEST_F(HotWaterCalendarPageTest, ResetAndCancelClearOnlyTheTimeEdits) {
    node.SetPart(12, NodeCalendar());
    CNodePage& page = ShowPage();
    for (const bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancel" : "Reset");
        Click(page, res::common::kRead);
        EXPECT_EQ(page.GetDlgItemText(kMondayStart), "6:00");
        page.SetDlgItemText(kDeltaTemperature, "3.3");
        Forget();
        if (cancel) {
            sheet->EndSheet(platform::IDCANCEL);
        } else {
            Click(page, res::calendar::kReset);
        }
        for (const auto& [edit, byte] : kEditBytes) {
            EXPECT_EQ(page.GetDlgItemText(edit), "0:00") << "edit " << edit;
        }
        EXPECT_EQ(page.GetDlgItemText(kDeltaTemperature), "3.3");
        EXPECT_TRUE(calls.empty());
    }
}

// When NV 44 cannot be written, NV 45 still shows another part: neither step reads or writes
// it, and the Read at the end does not either.
TEST_F(HotWaterCalendarPageTest, FailedSelectionReadsAndWritesNothingOfNv45) {
    CNodePage& page = ShowPage();
    page.SetDlgItemText(kMondayStart, "6:00");
    page.SetDlgItemText(kDeltaTime, "77");
    node.SetSelector(3);
    node.FailWrite(nv::kPartSelector);
    const std::vector<Bytes> parts = AllParts();
    Forget();
    Click(page, res::common::kWrite);
    EXPECT_TRUE(CallsOf("ReadNv 45").empty());
    EXPECT_TRUE(CallsOf("WriteNv 45").empty());
    EXPECT_EQ(AllParts(), parts);
    EXPECT_TRUE(desktop.Messages().empty());
    EXPECT_EQ(page.GetDlgItemText(kDeltaTime), "77");
    EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");
    EXPECT_EQ(page.GetDlgItemText(res::common::kRead), "Read");
}

}  // namespace
