// The Set Time page against the simulated node: the node's clock (NV 3) and the PC's date and
// time as texts, refreshed on show and on every tick without any Read, and "Sync", which writes
// one reading of the PC's clock to the node's clock (NV 0, 7 bytes).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SheetFixture.h"
#include "res/SetTimeDialog.h"

namespace {

using namespace res::set_time;

// Node date, node time, PC date, PC time, as the page shows them.
std::vector<std::string> Texts(const CNodePage& page) {
    return {page.GetDlgItemText(kNodeDate), page.GetDlgItemText(kNodeTime),
            page.GetDlgItemText(kPcDate), page.GetDlgItemText(kPcTime)};
}

struct ClockCase {
    const char* name;
    host::ClockTime node;
    platform::LocalDateTime pc;
    std::vector<std::string> texts;  // node date, node time, PC date, PC time
    const char* sync;                // the write "Sync" makes
};

void PrintTo(const ClockCase& c, std::ostream* os) {
    *os << c.name;
}

const ClockCase kClocks[] = {
    {"Morning",
     {2026, 12, 6, 9, 5, 7},
     {2026, 12, 6, 9, 5, 7},
     {"6/12-2026", "9:05:07", "6/12-2026 ", "9:05:07"},
     "WriteNv 0 07 EA 0C 06 09 05 07 -> 0"},
    {"NewYearsEve",
     {2027, 1, 1, 0, 0, 0},
     {2026, 12, 31, 23, 59, 59},
     {"1/1-2027", "0:00:00", "31/12-2026 ", "23:59:59"},
     "WriteNv 0 07 EA 0C 1F 17 3B 3B -> 0"},
    // The PC's two-digit year 99 is the year 2099.
    {"TwoDigitYear99",
     {2099, 10, 20, 12, 30, 45},
     {1999, 3, 4, 5, 6, 7},
     {"20/10-2099", "12:30:45", "4/3-2099 ", "5:06:07"},
     "WriteNv 0 08 33 03 04 05 06 07 -> 0"},
};

class SetTimePageTest : public SheetFixture {
protected:
    SetTimePage& ShowPage() {
        if (!sheet) {
            Open();
        }
        return Show(sheet->setTime);
    }
};

class SetTimeClockTest : public SetTimePageTest, public ::testing::WithParamInterface<ClockCase> {};

// Showing reads only the node's clock; Sync writes the PC's, which the next tick shows as the
// node's (the PC's date text ends in a blank, the node's does not).
TEST_P(SetTimeClockTest, ShowsBothClocksAndSyncSetsTheNodeToThePc) {
    const ClockCase& c = GetParam();
    node.SetClock(c.node);
    desktop.SetNow(c.pc);
    SetTimePage& page = ShowPage();
    EXPECT_EQ(calls, std::vector<std::string>{"ReadNv 3 32 -> 0"});
    EXPECT_EQ(Texts(page), c.texts);

    Forget();
    Click(page, kSync);
    EXPECT_EQ(calls, std::vector<std::string>{c.sync});
    EXPECT_TRUE(desktop.MessageTexts().empty());

    desktop.TickAll();
    const std::vector<std::string> texts = Texts(page);
    EXPECT_EQ(texts[0] + " ", texts[2]);
    EXPECT_EQ(texts[1], texts[3]);
}

INSTANTIATE_TEST_SUITE_P(Clocks, SetTimeClockTest, ::testing::ValuesIn(kClocks),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SetTimePageTest, EveryTickRefreshesAndAFailedNodeReadKeepsTheNodeFields) {
    SetTimePage& page = ShowPage();
    EXPECT_EQ(desktop.TimerPeriods(), std::vector<int>{2000});
    EXPECT_EQ(page.OnInitDialog(), FALSE);

    node.SetClock({2027, 2, 3, 4, 5, 6});
    desktop.SetNow({2027, 2, 3, 4, 5, 9});
    node.FailRead(3);
    desktop.TickAll();
    EXPECT_EQ(Texts(page),
              (std::vector<std::string>{"6/12-2026", "9:05:07", "3/2-2027 ", "4:05:09"}));

    node.Heal();
    desktop.TickAll();
    EXPECT_EQ(Texts(page),
              (std::vector<std::string>{"3/2-2027", "4:05:06", "3/2-2027 ", "4:05:09"}));
}

// The node's weekday beside its date, refreshed with it; a date no calendar holds has none.
TEST_F(SetTimePageTest, ShowsTheWeekdayOfTheNodesDate) {
    const std::pair<host::ClockTime, const char*> cases[] = {
        {{2026, 12, 6, 9, 5, 7}, "Sunday"},
        {{2027, 1, 1, 0, 0, 0}, "Friday"},
        {{2028, 2, 29, 12, 0, 0}, "Tuesday"},
        {{2027, 13, 1, 0, 0, 0}, ""},
    };
    SetTimePage& page = ShowPage();
    for (const auto& [clock, weekday] : cases) {
        node.SetClock(clock);
        desktop.TickAll();
        EXPECT_EQ(page.GetDlgItemText(kNodeWeekday), weekday) << weekday;
    }
}

// A PC clock that passes midnight between any two readings.
class MidnightDesktop : public platform::ScriptedDesktop {
public:
    platform::LocalDateTime Now() override {
        return readings_++ % 2 == 0 ? platform::LocalDateTime{2026, 12, 31, 23, 59, 59}
                                    : platform::LocalDateTime{2027, 1, 1, 0, 0, 0};
    }

private:
    int readings_ = 0;
};

// Sync and the PC's fields take the date and the time from one reading of the PC's clock, so
// that neither is ever a day off at midnight.
TEST_F(SetTimePageTest, DateAndTimeComeFromOneReadingOfThePcClock) {
    SetTimePage& page = ShowPage();
    MidnightDesktop midnight;
    platform::Desktop::SetCurrent(&midnight);
    Forget();
    page.ClickDlgItem(kSync);
    page.DeliverTimer(1);
    platform::Desktop::SetCurrent(&desktop);

    EXPECT_EQ(CallsOf("WriteNv"), std::vector<std::string>{"WriteNv 0 07 EA 0C 1F 17 3B 3B -> 0"});
    EXPECT_EQ(page.GetDlgItemText(kPcDate), "1/1-2027 ");
    EXPECT_EQ(page.GetDlgItemText(kPcTime), "0:00:00");
}

}  // namespace
