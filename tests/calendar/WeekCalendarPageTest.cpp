// The week calendar pages of page sets 1 and 2 on the simulated node: the 30 time edits bound
// to the bytes of their part (Sunday first, stop before start), the node clock and calendar
// state shown while visible, a Write of a fresh image after the pair and calendar checks with
// their messages, Default and Reset (also on the sheet's cancel).
#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <algorithm>
#include <array>
#include <filesystem>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "PageBytes.h"
#include "SheetFixture.h"
#include "codecs/TimeOfDayCodec.h"
#include "platform/ControlHost.h"
#include "platform/DialogTemplate.h"
#include "res/WeekCalendarDialogs.h"

namespace {

using host::Bytes;
using namespace res::week_calendar;

struct WeekCase {
    const char* name;
    CNodePage& (*page)(CSheet&);
    int dialogId;
    int part;
    int stateNv;
};

void PrintTo(const WeekCase& c, std::ostream* os) {
    *os << c.name;
}

}  // namespace

namespace platform {
void PrintTo(const WeekBar& b, std::ostream* os) {
    *os << "row " << b.row << " " << b.from << "-" << b.to << " lane " << b.lane << " band "
        << b.band << "/" << b.bands << (b.invalid ? " invalid" : "");
}
}  // namespace platform

namespace {

const WeekCase kPages[] = {
    {"Page5", [](CSheet& s) -> CNodePage& { return s.weekCalendar1; }, 204, 9, 4},
    {"Page6", [](CSheet& s) -> CNodePage& { return s.weekCalendar2; }, 205, 11, 5},
};

// Every time edit and its byte of the part: per day calendar 1 stop, start, calendar 2 stop,
// start, Sunday first; the holiday stop and start last.
const std::pair<int, int> kEditBytes[] = {
    {241, 1},  {240, 2},  {243, 3},  {242, 4},   // Sunday
    {209, 5},  {208, 6},  {219, 7},  {218, 8},   // Monday
    {221, 9},  {220, 10}, {223, 11}, {222, 12},  // Tuesday
    {225, 13}, {224, 14}, {227, 15}, {226, 16},  // Wednesday
    {229, 17}, {228, 18}, {231, 19}, {230, 20},  // Thursday
    {233, 21}, {232, 22}, {235, 23}, {234, 24},  // Friday
    {237, 25}, {236, 26}, {239, 27}, {238, 28},  // Saturday
    {245, 29}, {244, 30},                        // Holiday
};

const char* const kCalendar1Message = "Error in Calender 1, unequal start and stoptimes";
const char* const kCalendar2Message = "Error in Calender 2, unequal start and stoptimes";
const char* const kHolidayMessage = "Error in holiday, unequal start and stoptimes";
const char* const kSummary = " errors occured, data not written to NV";
const char* const kSummaryWithHint =
    " errors occured, data not written to NV. (Correct time format is 'H:MM' or 'HH:MM')";

class WeekCalendarPageTest : public SheetFixture, public ::testing::WithParamInterface<WeekCase> {
protected:
    // Shows the page with NV 44 at 0.
    CNodePage& ShowPage() {
        if (!sheet) {
            Open();
        }
        CNodePage& page = GetParam().page(*sheet);
        node.SetSelector(0);
        return Show(page);
    }

    void SetAll(CNodePage& page, const char* text) {
        for (const auto& [id, byte] : kEditBytes) {
            page.SetDlgItemText(id, text);
        }
    }

    std::string Texts(CNodePage& page) {
        std::string texts;
        for (const auto& [id, byte] : kEditBytes) {
            texts += std::to_string(id) + "=" + page.GetDlgItemText(id) + " ";
        }
        return texts;
    }
};

// Groups, row labels and column heads, each edit in its day's row and its column.
TEST_P(WeekCalendarPageTest, TemplateLaysTheEditsOutInTheirDayRows) {
    const auto& controls = platform::FindDialogTemplate(GetParam().dialogId).controls;
    const auto at = [&controls](const std::string& group, int row, int column) {
        const auto it = std::find_if(controls.begin(), controls.end(), [&](const auto& c) {
            return c.group == group && c.row == row && c.column == column;
        });
        return it == controls.end() ? platform::ControlTemplate{} : *it;
    };
    const char* days[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                          "Friday", "Saturday", "Sunday",    "Holiday"};
    const struct {
        const char* group;
        int rows;
        const std::array<int, 7>& starts;
        const std::array<int, 7>& stops;
    } groups[] = {{"Calender 1", 8, kCalendar1Start, kCalendar1Stop},
                  {"Calender 2", 7, kCalendar2Start, kCalendar2Stop}};
    for (const auto& g : groups) {
        SCOPED_TRACE(g.group);
        EXPECT_EQ(at(g.group, 0, 1).text, "Start ");
        EXPECT_EQ(at(g.group, 0, 2).text, "Stop ");
        for (int row = 1; row <= 8; ++row) {
            SCOPED_TRACE(days[row - 1]);
            const bool used = row <= g.rows;
            EXPECT_EQ(at(g.group, row, 0).text, used ? days[row - 1] : "");
            const int start = row == 8 ? (used ? kHolidayStart : 0) : g.starts[row - 1];
            const int stop = row == 8 ? (used ? kHolidayStop : 0) : g.stops[row - 1];
            EXPECT_EQ(at(g.group, row, 1).id, start);
            EXPECT_EQ(at(g.group, row, 2).id, stop);
            if (start != 0) {
                EXPECT_EQ(at(g.group, row, 1).kind, platform::ControlKind::Edit);
            }
        }
    }
    const std::vector<std::pair<int, std::string>> buttons = {
        {211, "Read"}, {210, "Write"}, {259, "Default"}, {260, "Reset"}};
    for (const auto& [id, text] : buttons) {
        const auto it = std::find_if(controls.begin(), controls.end(),
                                     [id = id](const auto& c) { return c.id == id; });
        ASSERT_NE(it, controls.end()) << id;
        EXPECT_EQ(it->text, text);
    }
}

// Show: node clock, state word, then part read with 32 bytes; each of the 30 bytes in its
// edit. OnInitDialog leaves the focus alone; timer 1 runs every 2000 ms.
TEST_P(WeekCalendarPageTest, ShowRefreshesThenReadsEveryTimeIntoItsEdit) {
    Bytes part = Pattern(0);
    for (const auto& [id, byte] : kEditBytes) {
        part[byte] = static_cast<std::uint8_t>(byte * 3 + 1);  // 4 -> 1:00, 7 -> 1:45, ...
    }
    node.SetPart(GetParam().part, part);
    node.SetClock({2026, 12, 6, 9, 5, 7});
    node.SetRaw(GetParam().stateNv, {0x00, 0x02});
    CNodePage& page = ShowPage();
    const std::string state = std::to_string(GetParam().stateNv);
    EXPECT_EQ(calls,
              (std::vector<std::string>{
                  "ReadNv 3 32 -> 0", "ReadNv " + state + " 32 -> 0", "ReadNv 44 31 -> 0",
                  "WriteNv 44 00 " + Hex({static_cast<std::uint8_t>(GetParam().part)}) + " -> 0",
                  "ReadNv 45 32 -> 0"}));
    EXPECT_EQ(page.OnInitDialog(), FALSE);
    EXPECT_TRUE(page.IsTimerRunning(1));
    EXPECT_EQ(desktop.TimerPeriods(), std::vector<int>{2000});
    EXPECT_EQ(page.GetDlgItemText(kNodeDate), "6/12-2026");
    EXPECT_EQ(page.GetDlgItemText(kNodeWeekday), "Sunday");
    EXPECT_EQ(page.GetDlgItemText(kNodeTime), "9:05:07");
    EXPECT_EQ(page.GetDlgItemText(kCalendarState), "Calender2 active");
    const codecs::TimeOfDayCodec codec;
    for (const auto& [id, byte] : kEditBytes) {
        EXPECT_EQ(page.GetDlgItemText(id), codec.FormatTime(part[byte])) << "edit " << id;
    }
    EXPECT_EQ(page.GetDlgItemText(res::common::kRead), "Read");
}

// Each tick reads the clock and the state word; an unknown word, or a failed read, leaves the
// text as it was.
TEST_P(WeekCalendarPageTest, TickShowsClockAndStateWord) {
    const struct {
        Bytes word;
        const char* text;
    } cases[] = {
        {{0x00, 0x00}, "Off"},
        {{0x00, 0x01}, "Calender1 active"},
        {{0x00, 0x02}, "Calender2 active"},
        {{0x00, 0x03}, "Holiday inactive"},
        {{0x00, 0x04}, "Holiday active"},
        {{0x00, 0x07}, "Holiday active"},  // unchanged
        {{0x01, 0x01}, "Holiday active"},  // unchanged: the high byte counts
        {{0x00, 0x01}, "Calender1 active"},
    };
    CNodePage& page = ShowPage();
    for (const auto& c : cases) {
        SCOPED_TRACE(Hex(c.word));
        node.SetRaw(GetParam().stateNv, c.word);
        page.DeliverTimer(1);
        EXPECT_EQ(page.GetDlgItemText(kCalendarState), c.text);
    }
    node.SetClock({2027, 1, 31, 23, 59, 0});
    page.DeliverTimer(1);
    EXPECT_EQ(page.GetDlgItemText(kNodeDate), "31/1-2027");
    EXPECT_EQ(page.GetDlgItemText(kNodeTime), "23:59:00");

    node.FailRead(nv::kClockRead);
    node.FailRead(GetParam().stateNv);
    node.SetClock({2026, 12, 6, 9, 5, 7});
    node.SetRaw(GetParam().stateNv, {0x00, 0x00});
    page.DeliverTimer(1);
    EXPECT_EQ(page.GetDlgItemText(kNodeDate), "31/1-2027");
    EXPECT_EQ(page.GetDlgItemText(kNodeTime), "23:59:00");
    EXPECT_EQ(page.GetDlgItemText(kCalendarState), "Calender1 active");
}

// Write: every other edit "0:00", then the case's texts. Accepted images are written whole
// (byte 0 as 0, nothing read first) and read back; refused ones write nothing and show the
// calendar messages, then the summary.
TEST_P(WeekCalendarPageTest, WriteChecksThenWritesAFreshImage) {
    const std::string one = std::string("1") + kSummary;
    const struct {
        const char* name;
        std::vector<std::pair<int, const char*>> texts;
        std::vector<std::pair<int, int>> written;  // byte, value; others 0
        std::vector<std::string> messages;         // empty: written
    } cases[] = {
        {"all 0:00", {}, {}, {}},
        {"22:00-0:00 then 0:00-6:00",
         {{208, "22:00"}, {209, "0:00"}, {220, "0:00"}, {221, "6:00"}},
         {{6, 88}, {9, 24}},
         {}},
        {"24:00 and 07:30", {{218, "07:30"}, {219, "24:00"}}, {{8, 30}, {7, 96}}, {}},
        {"holiday 7:00-9:00", {{244, "7:00"}, {245, "9:00"}}, {{30, 28}, {29, 36}}, {}},
        {"start without stop", {{208, "8:00"}}, {}, {kCalendar1Message, one}},
        {"stop without start", {{243, "8:00"}}, {}, {kCalendar2Message, one}},
        {"stop before start", {{224, "16:00"}, {225, "8:00"}}, {}, {one}},
        {"holiday start only", {{244, "7:00"}}, {}, {kHolidayMessage, one}},
        {"holiday stop before start", {{244, "9:00"}, {245, "7:00"}}, {}, {one}},
        {"every check",
         {{240, "8:00"}, {242, "8:00"}, {245, "8:00"}, {236, "16:00"}, {237, "8:00"}},
         {},
         {kCalendar1Message, kCalendar2Message, kHolidayMessage, std::string("4") + kSummary}},
        {"two format errors",
         {{208, "8.00"}, {209, "8.00"}},
         {},
         {"2" + std::string(kSummaryWithHint)}},
        // A refused text keeps the fresh image's 0, not the node's byte: the stop counts alone.
        {"refused start",
         {{208, "8.00"}, {209, "16:00"}},
         {},
         {kCalendar1Message, "2" + std::string(kSummaryWithHint)}},
    };
    CNodePage& page = ShowPage();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes before = Pattern(0x41);  // byte 6 (Monday start) is not 0
        node.SetPart(GetParam().part, before);
        node.SetSelector(GetParam().part);
        SetAll(page, "0:00");
        for (const auto& [id, text] : c.texts) {
            page.SetDlgItemText(id, text);
        }
        Forget();
        Click(page, res::common::kWrite);
        EXPECT_EQ(desktop.MessageTexts(), c.messages);
        EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");
        if (!c.messages.empty()) {
            EXPECT_TRUE(CallsOf("WriteNv").empty());
            EXPECT_EQ(Hex(PartBytes(node.Part(GetParam().part))), Hex(before));
            continue;
        }
        Bytes expected(31, 0);
        for (const auto& [byte, value] : c.written) {
            expected[static_cast<std::size_t>(byte)] = static_cast<std::uint8_t>(value);
        }
        EXPECT_EQ(calls, (std::vector<std::string>{"ReadNv 44 31 -> 0",
                                                   "WriteNv 45 " + Hex(expected) + " -> 0",
                                                   "ReadNv 44 31 -> 0", "ReadNv 45 32 -> 0"}));
        EXPECT_EQ(Hex(PartBytes(node.Part(GetParam().part))), Hex(expected));
        const codecs::TimeOfDayCodec codec;
        for (const auto& [id, byte] : kEditBytes) {
            EXPECT_EQ(page.GetDlgItemText(id), codec.FormatTime(expected[byte])) << id;
        }
    }
}

// The part is selected first, with its pauses, when NV 44 holds another; a failed selection
// writes nothing and says nothing, even with refused texts.
TEST_P(WeekCalendarPageTest, WriteSelectsThePartAndAFailedSelectionWritesNothing) {
    CNodePage& page = ShowPage();
    SetAll(page, "0:00");
    page.SetDlgItemText(208, "8:00");
    page.SetDlgItemText(209, "16:00");
    node.SetSelector(3);
    Forget();
    Click(page, res::common::kWrite);
    const std::string part = Hex({static_cast<std::uint8_t>(GetParam().part)});
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[0], "ReadNv 44 31 -> 0");
    EXPECT_EQ(calls[1], "WriteNv 44 00 " + part + " -> 0");
    EXPECT_EQ(calls[2].substr(0, 32), "WriteNv 45 00 00 00 00 00 40 20 ");
    EXPECT_EQ(desktop.Sleeps(), (std::vector<int>{250, 250}));

    std::vector<host::PartImage> before;
    for (int p = 1; p <= nv::kPartCount; ++p) {
        before.push_back(node.Part(p));
    }
    node.SetSelector(3);
    node.FailWrite(nv::kPartSelector);
    page.SetDlgItemText(208, "8.00");
    Forget();
    Click(page, res::common::kWrite);
    EXPECT_TRUE(CallsOf("WriteNv 45").empty());
    EXPECT_TRUE(desktop.Messages().empty());
    for (int p = 1; p <= nv::kPartCount; ++p) {
        EXPECT_EQ(node.Part(p), before[p - 1]) << "part " << p;
    }
    EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");
    EXPECT_EQ(page.GetDlgItemText(208), "8.00");
}

// Default fills calendar 1 with a working week and clears the holiday start; Reset puts 0:00
// everywhere, by its button and on the sheet's cancel. Neither talks to the node.
TEST_P(WeekCalendarPageTest, DefaultAndResetFillTheEditsOnly) {
    CNodePage& page = ShowPage();
    std::string expected;
    for (const auto& [id, byte] : kEditBytes) {
        const bool monToFri = byte >= 5 && byte <= 24;
        const bool calendar1 = byte <= 28 && (byte - 1) % 4 < 2;
        const bool stop = byte % 2 == 1;
        const char* text = "1:15";
        if (calendar1) {
            text = !monToFri ? "0:00" : stop ? "16:00" : "8:00";
        } else if (id == kHolidayStart) {
            text = "0:00";
        }
        expected += std::to_string(id) + "=" + text + " ";
    }
    SetAll(page, "1:15");
    Forget();
    Click(page, res::calendar::kDefault);
    EXPECT_EQ(Texts(page), expected);

    std::string reset;
    for (const auto& [id, byte] : kEditBytes) {
        reset += std::to_string(id) + "=0:00 ";
    }
    Click(page, res::calendar::kReset);
    EXPECT_EQ(Texts(page), reset);
    SetAll(page, "1:15");
    sheet->EndSheet(platform::IDCANCEL);
    EXPECT_EQ(Texts(page), reset);
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(desktop.Messages().empty());
}

// The week picture follows the edits as they are typed: a bar per set pair (a lone start runs
// to midnight, a lone stop from it), calendar 2 in its own lane, the holiday in its row; a
// refused text, a stop before its start and a lone time of an unequal calendar show red in
// the picture and their edit, why in the tooltip. Only edits change: the node hears nothing.
TEST_P(WeekCalendarPageTest, WeekPictureDrawsThePeriodsTyped) {
    using platform::WeekBar;
    const struct {
        const char* name;
        std::vector<std::pair<int, const char*>> texts;
        std::vector<WeekBar> bars;  // row, from, to, lane, band, bands, invalid (tips unchecked)
        std::pair<int, const char*> problem;  // an edit and its tooltip; {0, ""}: none
    } cases[] = {
        {"nothing set", {}, {}, {0, ""}},
        {"Monday 8:00-16:00, Sunday calendar 2, holiday",
         {{208, "8:00"},
          {209, "16:00"},
          {242, "6:30"},
          {243, "22:00"},
          {244, "7:00"},
          {245, "9:15"}},
         {{0, 8, 16, 0, 0, 2}, {6, 6.5, 22, 1, 1, 2}, {7, 7, 9.25, 2, 0, 1}},
         {0, ""}},
        {"over midnight",
         {{208, "22:00"}, {221, "6:00"}},
         {{0, 22, 24, 0, 0, 2}, {1, 0, 6, 0, 0, 2}},
         {0, ""}},
        {"not a time",
         {{208, "22.00"}, {209, "23:00"}},
         {{0, 0, 24, 0, 0, 2, true}},
         {208, "22.00 is not a time: use H:MM"}},
        {"stop before start",
         {{224, "16:00"}, {225, "8:00"}},
         {{2, 8, 16, 0, 0, 2, true}},
         {225, "stop 8:00 is before start 16:00"}},
        {"unequal",
         {{218, "8:00"}},
         {{0, 8, 24, 1, 1, 2, true}},
         {218, "Calender 2 has 1 start times but 0 stop times"}},
    };
    CNodePage& page = ShowPage();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetAll(page, "0:00");
        for (const auto& [id, text] : c.texts) {
            page.SetDlgItemText(id, text);
        }
        std::vector<WeekBar> bars = page.GetWeekBars(kWeekPicture);
        for (WeekBar& bar : bars) {
            bar.tip.clear();
        }
        EXPECT_EQ(bars, c.bars);
        for (const auto& [id, byte] : kEditBytes) {
            EXPECT_EQ(page.GetDlgItemProblem(id), id == c.problem.first ? c.problem.second : "")
                << id;
        }
    }
    // The picture as the technician sees it, kept in the build tree: a working week in both
    // calendars, the holiday and a refused Saturday start.
    SetAll(page, "0:00");
    for (const auto& [id, text] : {std::pair{208, "8:00"},
                                   {209, "16:00"},
                                   {218, "17:00"},
                                   {219, "22:00"},
                                   {244, "7:00"},
                                   {245, "9:00"},
                                   {236, "9.00"}}) {
        page.SetDlgItemText(id, text);
    }
    Click(page, kCopyMondayToWorkdays);
    QWidget* picture = page.GetDlgItem(kWeekPicture);
    ASSERT_NE(picture, nullptr);
    const QImage image = picture->grab().toImage();
    const auto path = std::filesystem::path(VIREO_TEST_TMP) /
                      ("week-picture-" + std::string(GetParam().name) + ".png");
    EXPECT_TRUE(image.save(QString::fromStdString(path.string())));
    EXPECT_GE(image.width(), 440);
    EXPECT_GE(image.height(), 8 * 26);
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            colours.insert(image.pixel(x, y));
        }
    }
    EXPECT_GT(colours.size(), 5u);
}

// The copy buttons fill the other days' edits of both calendars with Monday's texts, refused
// ones included; the node hears nothing until Write.
TEST_P(WeekCalendarPageTest, CopyButtonsFillTheEditsOnly) {
    CNodePage& page = ShowPage();
    SetAll(page, "0:00");
    const std::pair<const std::array<int, 7>*, const char*> monday[] = {{&kCalendar1Start, "8:00"},
                                                                        {&kCalendar1Stop, "16:00"},
                                                                        {&kCalendar2Start, "18.00"},
                                                                        {&kCalendar2Stop, "22:00"}};
    for (const auto& [edits, text] : monday) {
        page.SetDlgItemText((*edits)[0], text);
    }
    Forget();
    const auto days = [&] {
        std::string texts;
        for (const auto& [edits, text] : monday) {
            for (int id : *edits) {
                texts += page.GetDlgItemText(id) + " ";
            }
        }
        return texts;
    };
    Click(page, kCopyMondayToWorkdays);
    EXPECT_EQ(days(),
              "8:00 8:00 8:00 8:00 8:00 0:00 0:00 16:00 16:00 16:00 16:00 16:00 0:00 0:00 "
              "18.00 18.00 18.00 18.00 18.00 0:00 0:00 22:00 22:00 22:00 22:00 22:00 0:00 "
              "0:00 ");
    SetAll(page, "0:00");
    for (const auto& [edits, text] : monday) {
        page.SetDlgItemText((*edits)[0], text);
    }
    Click(page, kCopyToWeekend);
    EXPECT_EQ(days(),
              "8:00 0:00 0:00 0:00 0:00 8:00 8:00 16:00 0:00 0:00 0:00 0:00 16:00 16:00 "
              "18.00 0:00 0:00 0:00 0:00 18.00 18.00 22:00 0:00 0:00 0:00 0:00 22:00 "
              "22:00 ");
    EXPECT_EQ(page.GetDlgItemText(kHolidayStart), "0:00");
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(desktop.Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Twins, WeekCalendarPageTest, ::testing::ValuesIn(kPages),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
