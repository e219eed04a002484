// The Outdoor Temperatures page against the simulated node: the measured temperature read once
// per showing, the sensor check on show and on hide, and the offset in bytes 1-2 of part 2.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "PageBytes.h"
#include "SheetFixture.h"

namespace {

using host::Bytes;

constexpr int kActual = 229;
constexpr int kOffset = 230;

class OutdoorPageTest : public SheetFixture {
protected:
    OutdoorTemperaturesPage& ShowPage() {
        if (!sheet) {
            Open();
        }
        return Show(sheet->outdoorTemperatures);
    }
    // Selects the first tab, which hides the page.
    void Hide() { sheet->SetActivePage(0); }

    void SetMeasured(int word) {
        node.SetRaw(12, {static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word)});
    }

    std::vector<bool> Enabled(CNodePage& page) const {
        return {page.IsDlgItemEnabled(kActual), page.IsDlgItemEnabled(kOffset)};
    }
};

TEST_F(OutdoorPageTest, ShowReadsMeasuredValueAndPart2ThenChecksTheSensorAndTicksDoNothing) {
    SetMeasured(0xFF6A);  // -1.50
    Bytes part2(31, 0);
    part2[1] = 0x00;
    part2[2] = 0x32;  // 0.50
    node.SetPart(2, part2);
    OutdoorTemperaturesPage& page = ShowPage();
    EXPECT_EQ(calls, (std::vector<std::string>{"ReadNv 12 32 -> 0", "ReadNv 44 31 -> 0",
                                               "WriteNv 44 00 02 -> 0", "ReadNv 45 32 -> 0",
                                               "ReadNv 12 31 -> 0"}));
    EXPECT_EQ(desktop.Sleeps(), (std::vector<int>{250, 250}));
    EXPECT_EQ(page.GetDlgItemText(kActual), "-1.5");
    EXPECT_EQ(page.GetDlgItemText(kOffset), "0.5");
    EXPECT_TRUE(page.IsTimerRunning(1));

    SetMeasured(0x03E8);
    Forget();
    page.DeliverTimer(1);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(page.GetDlgItemText(kActual), "-1.5");

    // Hiding stops the timer and checks the sensor once more.
    SetMeasured(0x8000);
    Forget();
    Hide();
    EXPECT_FALSE(page.IsTimerRunning(1));
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), "ReadNv 12 31 -> 0");
    EXPECT_EQ(Enabled(page), (std::vector<bool>{false, false}));
}

// -200.00 still means a sensor; anything lower disables both edits, and a later showing with
// a sensor enables them again. A failed check keeps the state it found.
TEST_F(OutdoorPageTest, SensorCheckDisablesBothEditsBelowMinus200) {
    OutdoorTemperaturesPage& page = ShowPage();
    const struct {
        int word;
        const char* shown;
        bool fitted;
    } cases[] = {{0xB1E0, "-200.0", true},  {0xB1DF, "-200.0", false}, {0x0000, "0.0", true},
                 {0x8000, "-327.7", false}, {0x2710, "100.0", true},   {0x2711, "-555.4", false},
                 {0x07D0, "20.0", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word);
        Hide();
        SetMeasured(c.word);  // after the hide's check: the show's check decides
        ShowPage();
        EXPECT_EQ(page.GetDlgItemText(kActual), c.shown);
        EXPECT_EQ(Enabled(page), (std::vector<bool>{c.fitted, c.fitted}));
    }
    node.FailRead(12);
    Hide();
    ShowPage();
    EXPECT_EQ(Enabled(page), (std::vector<bool>{true, true}));
    EXPECT_EQ(page.GetDlgItemText(kActual), "20.0");
}

// Only bytes 1-2 of part 2 change; Read and Write work while the edits are disabled.
TEST_F(OutdoorPageTest, OffsetIsStoredAsHundredthsIntoBytes1And2Only) {
    SetMeasured(0x8000);
    OutdoorTemperaturesPage& page = ShowPage();
    ASSERT_EQ(Enabled(page), (std::vector<bool>{false, false}));
    const struct {
        const char* typed;
        std::uint8_t hi;
        std::uint8_t lo;
        const char* readBack;
    } cases[] = {{"-1.5", 0xFF, 0x6A, "-1.5"},
                 {"12abc", 0x04, 0xB0, "12.0"},
                 {"abc", 0x00, 0x00, "0.0"},
                 {"2.999", 0x01, 0x2B, "3.0"},
                 {"-0.019", 0xFF, 0xFF, "-0.0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        for (int p = 1; p <= nv::kPartCount; ++p) {
            node.SetPart(p, Pattern(static_cast<std::uint8_t>(0x0B * p)));
        }
        page.SetDlgItemText(kOffset, c.typed);
        Forget();
        Click(page, 210);
        Bytes expected = Pattern(0x16);
        expected[1] = c.hi;
        expected[2] = c.lo;
        EXPECT_EQ(calls, (std::vector<std::string>{"ReadNv 44 31 -> 0", "ReadNv 45 32 -> 0",
                                                   "WriteNv 45 " + Hex(expected) + " -> 0",
                                                   "ReadNv 44 31 -> 0", "ReadNv 45 32 -> 0"}));
        for (int p = 1; p <= nv::kPartCount; ++p) {
            EXPECT_EQ(PartBytes(node.Part(p)),
                      p == 2 ? expected : Pattern(static_cast<std::uint8_t>(0x0B * p)))
                << "part " << p;
        }
        EXPECT_EQ(page.GetDlgItemText(kOffset), c.readBack);
        EXPECT_EQ(page.GetDlgItemText(210), "Write");
    }
}

TEST_F(OutdoorPageTest, FailedPartSelectionWritesNothingAndKeepsTheOffset) {
    OutdoorTemperaturesPage& page = ShowPage();
    const host::PartImage part2 = node.Part(2);
    node.SetSelector(0);
    node.FailWrite(44);
    page.SetDlgItemText(kOffset, "-3");
    Forget();
    Click(page, 210);
    EXPECT_TRUE(CallsOf("ReadNv 45").empty());
    EXPECT_TRUE(CallsOf("WriteNv 45").empty());
    EXPECT_EQ(node.Part(2), part2);
    EXPECT_EQ(page.GetDlgItemText(kOffset), "-3");
    EXPECT_EQ(page.GetDlgItemText(210), "Write");
    EXPECT_EQ(page.GetDlgItemText(211), "Read");
}

}  // namespace
