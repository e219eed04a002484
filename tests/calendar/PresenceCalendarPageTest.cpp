// The presence (PIR) calendar pages of both circuits on the simulated node: the live presence
// state, the 14 time edits on the calendar 1 bytes of the circuit's part, the write checks with
// their messages, the other bytes of the part (on circuit 2 the hot-water tank calendar's)
// written back as the node held them, Reset, and a failed part selection.
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "PageBytes.h"
#include "SheetFixture.h"
#include "res/PresenceCalendarDialogs.h"

namespace {

using host::Bytes;

struct Twin {
    const char* name;
    CNodePage& (*page)(CSheet&);
    int part;
    int statusNv;
};

void PrintTo(const Twin& twin, std::ostream* os) {
    *os << twin.name;
}

const Twin kTwins[] = {
    {"Page7", [](CSheet& s) -> CNodePage& { return s.presenceCalendar1; }, 10, 8},
    {"Page8", [](CSheet& s) -> CNodePage& { return s.presenceCalendar2; }, 12, 9},
};

// Each time edit and its byte in the part: stop first, Sunday first.
const std::pair<int, int> kEditBytes[] = {
    {393, 1},  {392, 2},  {380, 5},  {381, 6},  {383, 9},  {382, 10}, {385, 13},
    {384, 14}, {387, 17}, {386, 18}, {389, 21}, {388, 22}, {391, 25}, {390, 26},
};
constexpr int kMondayStart = 381;
constexpr int kMondayStop = 380;
const char* const kPirMessage = "Error in PIR calender, unequal start and stoptimes";
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

// A consistent part: byte 0 not 0, the page's days 8:00 to 17:00, the other calendar's days
// from 6:00 + d quarters to 20:00, its holiday pair 5:00 to 22:00.
Bytes NodeCalendar() {
    Bytes bytes(31, 0);
    bytes[0] = 0x5A;
    for (int day = 0; day < 7; ++day) {
        bytes[1 + 4 * day] = 68;
        bytes[2 + 4 * day] = 32;
        bytes[3 + 4 * day] = 80;
        bytes[4 + 4 * day] = static_cast<std::uint8_t>(24 + day);
    }
    bytes[29] = 88;
    bytes[30] = 20;
    return bytes;
}

class PresenceCalendarPageTest : public SheetFixture, public ::testing::WithParamInterface<Twin> {
protected:
    const Twin& T() const { return GetParam(); }

    // Shows the page with NV 44 at 0.
    CNodePage& ShowPage() {
        if (!sheet) {
            Open();
        }
        node.SetSelector(0);
        return Show(T().page(*sheet));
    }

    std::vector<Bytes> AllParts() const {
        std::vector<Bytes> parts;
        for (int p = 1; p <= nv::kPartCount; ++p) {
            parts.push_back(PartBytes(node.Part(p)));
        }
        return parts;
    }
};

TEST_P(PresenceCalendarPageTest, ShowRefreshesThenReadsTheCalendarBytesIntoTheirEdits) {
    Bytes part = NodeCalendar();
    for (const auto& [edit, byte] : kEditBytes) {
        part[byte] = static_cast<std::uint8_t>(3 * byte);
    }
    node.SetPart(T().part, part);
    node.SetRaw(T().statusNv, {0x01});
    CNodePage& page = ShowPage();
    const std::string selected = T().part == 10 ? "00 0A" : "00 0C";
    EXPECT_EQ(calls, (std::vector<std::string>{
                         "ReadNv " + std::to_string(T().statusNv) + " 32 -> 0", "ReadNv 44 31 -> 0",
                         "WriteNv 44 " + selected + " -> 0", "ReadNv 45 32 -> 0"}));
    for (const auto& [edit, byte] : kEditBytes) {
        EXPECT_EQ(page.GetDlgItemText(edit), TimeText(3 * byte)) << "edit " << edit;
    }
    EXPECT_EQ(page.GetDlgItemText(res::presence_calendar::kStatus), "unoccupied");
    EXPECT_TRUE(page.IsTimerRunning(1));
    EXPECT_EQ(page.OnInitDialog(), FALSE);
}

// Byte 0 of the status variable as a signed number; a failed read keeps the text.
TEST_P(PresenceCalendarPageTest, TimerShowsThePresenceState) {
    CNodePage& page = ShowPage();
    const struct {
        int byte;
        const char* shown;
    } cases[] = {{0x00, "occupied"},   {0x01, "unoccupied"},   {0x02, "out of range"},
                 {0x00, "occupied"},   {0xFF, "out of range"}, {0x80, "out of range"},
                 {0x01, "unoccupied"}, {-1, "unoccupied"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.byte);
        node.Heal();
        if (c.byte < 0) {
            node.FailRead(T().statusNv);
        } else {
            node.SetRaw(T().statusNv, {static_cast<std::uint8_t>(c.byte)});
        }
        Forget();
        page.DeliverTimer(1);
        EXPECT_EQ(calls, std::vector<std::string>{"ReadNv " + std::to_string(T().statusNv) +
                                                  " 32 -> " + (c.byte < 0 ? "1" : "0")});
        EXPECT_EQ(page.GetDlgItemText(res::presence_calendar::kStatus), c.shown);
    }
}

// Every case starts from Reset ("0:00" everywhere) and types its texts. An accepted Write sends
// byte 0 as 0, the typed bytes, 0 in the page's other bytes and every other byte as the node
// held it; a rejected one shows its messages and writes nothing.
TEST_P(PresenceCalendarPageTest, WriteChecksThePagesPairsAndKeepsTheOtherBytes) {
    const struct {
        const char* name;
        std::vector<std::pair<int, const char*>> typed;
        std::vector<std::pair<int, int>> nodeBytes;  // changes to NodeCalendar()
        std::vector<std::pair<int, int>> written;    // the page's bytes not 0
        std::vector<std::string> messages;           // none: accepted
    } cases[] = {
        {"all 0:00", {}, {}, {}, {}},
        {"Monday 7:00 to 17:00",
         {{kMondayStart, "7:00"}, {kMondayStop, "17:00"}},
         {},
         {{5, 68}, {6, 28}},
         {}},
        {"Sunday and Saturday",
         {{392, "0:15"}, {393, "24:00"}, {390, "07:30"}, {391, "7:59"}},
         {},
         {{1, 96}, {2, 1}, {25, 31}, {26, 30}},
         {}},
        {"a stop of 0:00 is never earlier",
         {{kMondayStart, "22:00"}, {383, "6:00"}},
         {},
         {{6, 88}, {9, 24}},
         {}},
        {"start without stop", {{kMondayStart, "7:00"}}, {}, {}, {kPirMessage, kOneError}},
        {"stop before start",
         {{kMondayStart, "17:00"}, {kMondayStop, "7:00"}},
         {},
         {},
         {kOneError}},
        // The rejected text leaves the node's 8:00 in byte 6, which pairs with the typed stop.
        {"7.00",
         {{kMondayStart, "7.00"}, {kMondayStop, "17:00"}},
         {},
         {},
         {"1" + std::string(kFormatHint)}},
        {"two format errors and the count",
         {{kMondayStart, "7:00"}, {392, "8 :00"}, {393, "abc"}},
         {{1, 0}, {2, 0}},
         {},
         {kPirMessage, "3" + std::string(kFormatHint)}},
        // Pairs no edit shows are carried through unchecked: the technician could not mend them.
        {"a calendar 2 pair out of order", {}, {{7, 16}, {8, 32}}, {}, {}},
        {"the holiday pair out of order", {}, {{29, 5}, {30, 9}}, {}, {}},
    };
    CNodePage& page = ShowPage();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes before = NodeCalendar();
        for (const auto& [byte, value] : c.nodeBytes) {
            before[byte] = static_cast<std::uint8_t>(value);
        }
        node.SetPart(T().part, before);
        const std::vector<Bytes> parts = AllParts();
        Click(page, res::calendar::kReset);
        for (const auto& [edit, text] : c.typed) {
            page.SetDlgItemText(edit, text);
        }
        node.SetSelector(0);
        Forget();
        Click(page, res::common::kWrite);
        EXPECT_EQ(desktop.MessageTexts(), c.messages);
        EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");
        if (!c.messages.empty()) {
            EXPECT_TRUE(CallsOf("WriteNv 45").empty());
            EXPECT_EQ(AllParts(), parts);
            continue;
        }
        Bytes expected = before;
        expected[0] = 0;
        for (int byte = 1; byte < 31; ++byte) {
            if (PageByte(byte)) {
                expected[byte] = 0;
            }
        }
        for (const auto& [byte, value] : c.written) {
            expected[byte] = static_cast<std::uint8_t>(value);
        }
        EXPECT_EQ(Hex(PartBytes(node.Part(T().part))), Hex(expected));
        for (int p = 1; p <= nv::kPartCount; ++p) {
            if (p != T().part) {
                EXPECT_EQ(PartBytes(node.Part(p)), parts[p - 1]) << "part " << p;
            }
        }
        const std::string selected = T().part == 10 ? "00 0A" : "00 0C";
        EXPECT_EQ(calls, (std::vector<std::string>{
                             "ReadNv 44 31 -> 0", "WriteNv 44 " + selected + " -> 0",
                             "ReadNv 45 31 -> 0", "WriteNv 45 " + Hex(expected) + " -> 0",
                             "ReadNv 44 31 -> 0", "ReadNv 45 32 -> 0"}));
        // The Read that follows shows what the node holds.
        for (const auto& [edit, byte] : kEditBytes) {
            EXPECT_EQ(page.GetDlgItemText(edit), TimeText(expected[byte])) << "edit " << edit;
        }
    }
}

// Reset and the sheet's cancel put "0:00" into the 14 time edits, and nothing else anywhere.
TEST_P(PresenceCalendarPageTest, ResetAndCancelClearTheTimeEditsOnly) {
    node.SetRaw(T().statusNv, {0x00});
    node.SetPart(T().part, NodeCalendar());
    CNodePage& page = ShowPage();
    const std::vector<Bytes> parts = AllParts();
    for (const bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancel" : "Reset");
        Click(page, res::common::kRead);
        EXPECT_EQ(page.GetDlgItemText(kMondayStart), "8:00");
        Forget();
        if (cancel) {
            sheet->EndSheet(platform::IDCANCEL);
        } else {
            Click(page, res::calendar::kReset);
        }
        for (const auto& [edit, byte] : kEditBytes) {
            EXPECT_EQ(page.GetDlgItemText(edit), "0:00") << "edit " << edit;
        }
        EXPECT_EQ(page.GetDlgItemText(res::presence_calendar::kStatus), "occupied");
        EXPECT_TRUE(calls.empty());
        EXPECT_EQ(AllParts(), parts);
    }
}

// When the part cannot be selected, NV 45 shows another part: nothing of it is read or written,
// and no message is shown.
TEST_P(PresenceCalendarPageTest, FailedSelectionReadsAndWritesNothingOfNv45) {
    CNodePage& page = ShowPage();
    page.SetDlgItemText(kMondayStart, "7:00");
    node.SetSelector(3);
    node.FailWrite(nv::kPartSelector);
    const std::vector<Bytes> parts = AllParts();
    Forget();
    Click(page, res::common::kWrite);
    EXPECT_TRUE(CallsOf("ReadNv 45").empty());
    EXPECT_TRUE(CallsOf("WriteNv 45").empty());
    EXPECT_EQ(AllParts(), parts);
    EXPECT_TRUE(desktop.Messages().empty());
    EXPECT_EQ(page.GetDlgItemText(kMondayStart), "7:00");
    EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");
}

INSTANTIATE_TEST_SUITE_P(Twins, PresenceCalendarPageTest, ::testing::ValuesIn(kTwins),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
