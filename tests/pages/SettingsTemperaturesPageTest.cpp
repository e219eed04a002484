// The Settings Temperatures pages on the simulated node: circuit 1 (heating curve and constant
// set points of NV 37, "Calc.setpt" in part 1) and circuit 2 (constant set points of NV 38, its
// night-lowering switch in part 1). What showing a page asks of the node, the write order and
// pauses, that a Write changes only the page's own bytes and bits, the enabling rule, and the
// range of the number of curve points.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <algorithm>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "PageBytes.h"
#include "SheetFixture.h"
#include "framework/SafeFile.h"
#include "node/NodeFields.h"
#include "res/SettingsTemperaturesDialogs.h"

namespace {

using host::Bytes;
namespace ids = res::settings_temperatures;

// "WriteNv 37 ..." -> "WriteNv 37".
std::vector<std::string> Heads(const std::vector<std::string>& calls) {
    std::vector<std::string> heads;
    for (const std::string& call : calls) {
        heads.push_back(call.substr(0, call.find(' ', call.find(' ') + 1)));
    }
    return heads;
}

// A text typed into an edit and the bytes it is stored as, at its offset in the record.
struct Typed {
    int id;
    const char* text;
    int offset;
    Bytes bytes;
};

struct SettingsCase {
    const char* name;
    CNodePage& (*page)(CSheet&);
    int recordNv;
    int otherRecordNv;
    int flagByte;  // part 1
    std::uint8_t flagMask;
    int checkId;
    std::vector<std::string> showCalls;  // with NV 44 holding 0
    std::vector<int> selectionSleeps;
    std::vector<std::string> writeOrder;
    std::vector<Typed> typed;
};

// A chart series as text: "(-20,70) (-12,70) | (20,35)", a gap as "|".
std::string Drawn(const std::vector<platform::ChartPoint>& points) {
    std::string text;
    for (const platform::ChartPoint& p : points) {
        char point[48];
        std::snprintf(point, sizeof point, "(%g,%g)", p.x, p.y);
        text += (text.empty() ? "" : " ") + (p.IsGap() ? std::string("|") : std::string(point));
    }
    return text;
}

void PrintTo(const SettingsCase& c, std::ostream* os) {
    *os << c.name;
}

const SettingsCase kPages[] = {
    {"Circuit1",
     [](CSheet& s) -> CNodePage& { return s.heatingCurve; },
     37,
     38,
     2,
     0x10,
     ids::kCalculatedSetPointOn,
     // Refresh, Read (with the enabling rule), then the rule once more.
     {"ReadNv 20 32 -> 0", "ReadNv 11 32 -> 0", "ReadNv 13 32 -> 0", "ReadNv 44 31 -> 0",
      "WriteNv 44 00 01 -> 0", "ReadNv 45 32 -> 0", "ReadNv 37 32 -> 0", "ReadNv 37 32 -> 0",
      "ReadNv 37 32 -> 0"},
     {},
     {"WriteNv 44", "WriteNv 37", "WriteNv 45"},
     {{ids::kCurvePoints, "4", 0, {0x04}},
      {312, "-12.5", 1, {0xFB, 0x1E}},
      {313, "-0.5", 3, {0xFF, 0xCE}},
      {314, "0", 5, {0x00, 0x00}},
      {315, "12abc", 7, {0x04, 0xB0}},
      {316, "abc", 9, {0x00, 0x00}},
      {321, "70", 11, {0x1B, 0x58}},
      {320, "33", 13, {0x0C, 0xE4}},
      {319, "20.25", 15, {0x07, 0xE9}},
      {318, "100", 17, {0x27, 0x10}},
      {317, "-40", 19, {0xF0, 0x60}},
      {ids::kNightOffset, "5", 21, {0x01, 0xF4}},
      {ids::kConstantDay, "21.5", 27, {0x08, 0x66}},
      {ids::kConstantNight, "-1", 29, {0xFF, 0x9C}}}},
    {"Circuit2",
     [](CSheet& s) -> CNodePage& { return s.constantTemperatures; },
     38,
     37,
     8,
     0x01,
     ids::kNightLowering,
     {"ReadNv 15 32 -> 0", "ReadNv 44 31 -> 0", "WriteNv 44 00 01 -> 0", "ReadNv 45 32 -> 0",
      "ReadNv 38 32 -> 0"},
     {250, 250},
     {"WriteNv 44", "WriteNv 45", "WriteNv 38"},
     {{ids::kConstantDay, "21.5", 27, {0x08, 0x66}},
      {ids::kConstantNight, "-1", 29, {0xFF, 0x9C}}}},
};

class SettingsTemperaturesTest : public SheetFixture {
protected:
    // Opens the sheet with the page set that holds the page and puts NV 44 to 0, without
    // showing the page.
    CNodePage& Prepare(CNodePage& (*get)(CSheet&)) {
        if (!sheet) {
            Open();
        }
        CNodePage& page = get(*sheet);
        if (sheet->GetPageIndex(&page) < 0) {
            sheet->SetActivePage(0);
            sheet->nodeInfo.ClickDlgItem(235);  // "VI2"
        }
        node.SetSelector(0);
        return page;
    }

    CNodePage& ShowCircuit1() { return Show(Prepare(kPages[0].page)); }

    // Curve points enabled on circuit 1, as a mask of the points whose two edits are enabled;
    // -1 when the two edits of a point differ.
    static int EnabledPoints(const CNodePage& page) {
        int mask = 0;
        for (std::size_t k = 0; k < 5; ++k) {
            const bool outdoor = page.IsDlgItemEnabled(ids::kCurveOutdoor[k]);
            if (outdoor != page.IsDlgItemEnabled(ids::kCurveForward[k])) {
                return -1;
            }
            mask |= outdoor ? 1 << k : 0;
        }
        return mask;
    }

    void SetCurvePoints(std::uint8_t count) {
        Bytes record = node.Raw(37);
        record[0] = count;
        node.SetRaw(37, record);
    }
};

class SettingsTwinTest : public SettingsTemperaturesTest,
                         public ::testing::WithParamInterface<SettingsCase> {
protected:
    CNodePage& ShowPage() { return Show(Prepare(GetParam().page)); }
};

TEST_P(SettingsTwinTest, ShowRefreshesAndReadsWithThePagesPauses) {
    const CNodePage& page = ShowPage();
    EXPECT_EQ(calls, GetParam().showCalls);
    EXPECT_EQ(desktop.Sleeps(), GetParam().selectionSleeps);
    EXPECT_TRUE(page.IsTimerRunning(1));
}

// Two rounds: the page's flag set among cleared bits, then cleared among set bits; every byte
// of the record the page owns typed anew, every other byte of both records and every part as
// the node held them.
TEST_P(SettingsTwinTest, WriteChangesOnlyThePagesBytesAndBitsInItsOrder) {
    const SettingsCase& c = GetParam();
    CNodePage& page = ShowPage();
    for (const bool on : {true, false}) {
        SCOPED_TRACE(on ? "flag on" : "flag off");
        for (int p = 1; p <= nv::kPartCount; ++p) {
            node.SetPart(p, Pattern(static_cast<std::uint8_t>(on ? 0x20 + p : 0xA0 + p)));
        }
        Bytes part1 = PartBytes(node.Part(1));
        part1[c.flagByte] = on ? 0x00 : 0xFF;
        node.SetPart(1, part1);
        std::vector<host::PartImage> partsBefore;
        for (int p = 1; p <= nv::kPartCount; ++p) {
            partsBefore.push_back(node.Part(p));
        }
        const Bytes record = Pattern(on ? 0x13 : 0x91);
        const Bytes otherRecord = Pattern(0x55);
        node.SetRaw(c.recordNv, record);
        node.SetRaw(c.otherRecordNv, otherRecord);
        // The check box clicked as the user would, running its rule; the edits typed after.
        if (page.IsDlgButtonChecked(c.checkId) != (on ? 1 : 0)) {
            Click(page, c.checkId);
        }
        for (const Typed& t : c.typed) {
            page.SetDlgItemText(t.id, t.text);
        }
        node.SetSelector(0);
        Forget();
        Click(page, res::common::kWrite);

        Bytes expected = record;
        for (const Typed& t : c.typed) {
            std::copy(t.bytes.begin(), t.bytes.end(), expected.begin() + t.offset);
        }
        EXPECT_EQ(Hex(node.Raw(c.recordNv)), Hex(expected));
        EXPECT_EQ(node.Raw(c.otherRecordNv), otherRecord);
        Bytes expectedPart1 = part1;
        expectedPart1[c.flagByte] = on ? c.flagMask : static_cast<std::uint8_t>(~c.flagMask);
        EXPECT_EQ(Hex(PartBytes(node.Part(1))), Hex(expectedPart1));
        for (int p = 2; p <= nv::kPartCount; ++p) {
            EXPECT_EQ(node.Part(p), partsBefore[p - 1]) << "part " << p;
        }
        EXPECT_EQ(Heads(CallsOf("WriteNv")), c.writeOrder);
        EXPECT_EQ(desktop.Sleeps(), c.selectionSleeps);
        EXPECT_TRUE(desktop.Messages().empty());
        EXPECT_EQ(page.IsDlgButtonChecked(c.checkId), on ? 1 : 0);  // Read shows the node's flag
        EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");
    }
}

// Hundredths shown with one decimal are not rounded by a Write that did not touch them.
TEST_P(SettingsTwinTest, WriteRightAfterShowingKeepsEveryByte) {
    const SettingsCase& c = GetParam();
    Prepare(c.page);
    Bytes record = Pattern(0x0B);  // words such as 12 19, 46.33 shown as 46.3
    record[0] = 3;
    node.SetRaw(c.recordNv, record);
    const Bytes part1 = Pattern(0x2E);
    node.SetPart(1, part1);
    CNodePage& page = ShowPage();
    Click(page, res::common::kWrite);
    EXPECT_EQ(Hex(node.Raw(c.recordNv)), Hex(record));
    EXPECT_EQ(Hex(PartBytes(node.Part(1))), Hex(part1));
}

// NV 45 is not written when NV 44 cannot be set to part 1, and the check box keeps what the
// user made of it; the record, which is no part, is still written.
TEST_P(SettingsTwinTest, FailedSelectionWritesNothingToThePartAndKeepsTheCheckBox) {
    const SettingsCase& c = GetParam();
    CNodePage& page = ShowPage();
    std::vector<host::PartImage> before;
    for (int p = 1; p <= nv::kPartCount; ++p) {
        before.push_back(node.Part(p));
    }
    const int shown = page.IsDlgButtonChecked(c.checkId);
    page.CheckDlgButton(c.checkId, 1 - shown);
    node.SetSelector(3);  // NV 45 shows another part
    node.FailWrite(nv::kPartSelector);
    Forget();
    Click(page, res::common::kWrite);
    EXPECT_TRUE(CallsOf("WriteNv 45").empty());
    EXPECT_EQ(CallsOf("WriteNv " + std::to_string(c.recordNv)).size(), 1u);
    for (int p = 1; p <= nv::kPartCount; ++p) {
        EXPECT_EQ(node.Part(p), before[p - 1]) << "part " << p;
    }
    EXPECT_EQ(page.IsDlgButtonChecked(c.checkId), 1 - shown);
    EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");
    EXPECT_EQ(page.GetDlgItemText(res::common::kRead), "Read");
}

INSTANTIATE_TEST_SUITE_P(Pages, SettingsTwinTest, ::testing::ValuesIn(kPages),
                         [](const auto& info) { return std::string(info.param.name); });

// The typed number itself, truncated toward zero, is held against 2 and 5; the limit is
// stored after the message and the Write goes on.
TEST_F(SettingsTemperaturesTest, CurvePointsOutsideTwoToFiveAreLimitedWithAMessage) {
    const std::string low = "Value must be between 2 and 5. Value set to 2";
    const std::string high = "Value must be between 2 and 5. Value set to 5";
    const struct {
        const char* typed;
        int stored;
        const std::string* message;
    } cases[] = {
        {"1", 2, &low},    {"-3", 2, &low},   {"abc", 2, &low},    {"1.9", 2, &low},
        {"7", 5, &high},   {"258", 5, &high}, {"300", 5, &high},   {"3.9", 3, nullptr},
        {"2", 2, nullptr}, {"5", 5, nullptr}, {"5.9", 5, nullptr},
    };
    CNodePage& page = ShowCircuit1();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        SetCurvePoints(4);
        page.SetDlgItemText(ids::kCurvePoints, c.typed);
        Forget();
        Click(page, res::common::kWrite);
        EXPECT_EQ(node.Raw(37)[0], c.stored);
        ASSERT_EQ(desktop.Messages().size(), c.message != nullptr ? 1u : 0u);
        if (c.message != nullptr) {
            EXPECT_EQ(desktop.Messages()[0].text, *c.message);
            EXPECT_EQ(desktop.Messages()[0].buttons, platform::MessageButtons::Ok);
        }
        EXPECT_EQ(page.GetDlgItemText(ids::kCurvePoints), std::to_string(c.stored));
    }
}

// With "Calc.setpt" ticked the node's count enables that many curve points; a count outside
// 2 to 5 is shown but leaves the curve edits as they were (here: three points).
TEST_F(SettingsTemperaturesTest, CurvePointCountEnablesThatManyPointsOnly) {
    const struct {
        std::uint8_t stored;
        const char* shown;
        int enabled;  // mask of enabled points
    } cases[] = {
        {2, "2", 0x03}, {4, "4", 0x0F}, {5, "5", 0x1F},     {0, "0", 0x07},
        {1, "1", 0x07}, {6, "6", 0x07}, {0xFF, "-1", 0x07}, {0x80, "-128", 0x07},
    };
    CNodePage& page = ShowCircuit1();  // the factory node uses the calculated set point
    ASSERT_EQ(page.IsDlgButtonChecked(ids::kCalculatedSetPointOn), 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        SetCurvePoints(3);
        Click(page, res::common::kRead);
        ASSERT_EQ(EnabledPoints(page), 0x07);
        SetCurvePoints(c.stored);
        Click(page, res::common::kRead);
        EXPECT_EQ(page.GetDlgItemText(ids::kCurvePoints), c.shown);
        EXPECT_EQ(EnabledPoints(page), c.enabled);
        for (int id : {ids::kCurvePoints, ids::kNightOffset, ids::kOutdoorTemperature}) {
            EXPECT_TRUE(page.IsDlgItemEnabled(id)) << id;
        }
        EXPECT_FALSE(page.IsDlgItemEnabled(ids::kConstantDay));
        EXPECT_FALSE(page.IsDlgItemEnabled(ids::kConstantNight));
    }
}

// Clicking "Calc.setpt" asks the node at once: cleared, part 1 for the night-lowering flag,
// which alone enables the constant night temperature; ticked, NV 37 for the count.
TEST_F(SettingsTemperaturesTest, CalcSetptClickReReadsTheNodeAndEnablesItsWay) {
    CNodePage& page = ShowCircuit1();
    for (const std::uint8_t flags : {0x01, 0xFE, 0x00, 0xFF}) {
        SCOPED_TRACE(flags);
        Bytes part1 = PartBytes(node.Part(1));
        part1[2] = flags;
        node.SetPart(1, part1);
        SetCurvePoints(5);
        page.CheckDlgButton(ids::kCalculatedSetPointOn, 1);
        Forget();
        Click(page, ids::kCalculatedSetPointOn);  // cleared
        EXPECT_EQ(calls, (std::vector<std::string>{"ReadNv 44 31 -> 0", "ReadNv 45 32 -> 0"}));
        EXPECT_EQ(EnabledPoints(page), 0);
        for (int id : {ids::kCurvePoints, ids::kNightOffset, ids::kOutdoorTemperature}) {
            EXPECT_FALSE(page.IsDlgItemEnabled(id)) << id;
        }
        EXPECT_TRUE(page.IsDlgItemEnabled(ids::kConstantDay));
        EXPECT_EQ(page.IsDlgItemEnabled(ids::kConstantNight), (flags & 0x01) != 0);

        Forget();
        Click(page, ids::kCalculatedSetPointOn);  // ticked
        EXPECT_EQ(calls, (std::vector<std::string>{"ReadNv 37 32 -> 0"}));
        EXPECT_EQ(EnabledPoints(page), 0x1F);
        EXPECT_FALSE(page.IsDlgItemEnabled(ids::kConstantNight));
        EXPECT_TRUE(CallsOf("WriteNv").empty());
    }
}

// Signed hundredths: words above 10000 are negative; one decimal shown.
TEST_F(SettingsTemperaturesTest, RecordWordsAreShownAsSignedHundredths) {
    const struct {
        Bytes word;
        const char* shown;
    } cases[] = {
        {{0xFF, 0xCE}, "-0.5"},  {{0x27, 0x11}, "-555.4"}, {{0x27, 0x10}, "100.0"},
        {{0xFB, 0x1E}, "-12.5"}, {{0x0C, 0xE4}, "33.0"},   {{0x00, 0x00}, "0.0"},
    };
    CNodePage& page = ShowCircuit1();
    for (const auto& c : cases) {
        Bytes record = node.Raw(37);
        for (int at : {1, 19, 21, 27}) {
            std::copy(c.word.begin(), c.word.end(), record.begin() + at);
        }
        node.SetRaw(37, record);
        Click(page, res::common::kRead);
        for (int id : {312, 317, ids::kNightOffset, ids::kConstantDay}) {
            EXPECT_EQ(page.GetDlgItemText(id), c.shown) << Hex(c.word) << " in " << id;
        }
    }
}

// The timer refreshes the live values of NV 20, 11 and 13 only; typed values stay.
TEST_F(SettingsTemperaturesTest, TickShowsTheLiveValuesAndKeepsTypedOnes) {
    CNodePage& page = ShowCircuit1();
    page.SetDlgItemText(ids::kConstantDay, "19");
    node.SetRaw(20, {0x17, 0x70});  // 60.00
    node.SetRaw(11, {0x15, 0x7C});  // 55.00
    node.SetRaw(13, {0xFC, 0x18});  // -10.00
    node.FailRead(11);
    Forget();
    page.DeliverTimer(1);
    EXPECT_EQ(calls, (std::vector<std::string>{"ReadNv 20 32 -> 0", "ReadNv 11 32 -> 1",
                                               "ReadNv 13 32 -> 0"}));
    EXPECT_EQ(page.GetDlgItemText(ids::kCalculatedSetPoint), "60.0");
    EXPECT_EQ(page.GetDlgItemText(ids::kActualForward), "0.0");
    EXPECT_EQ(page.GetDlgItemText(ids::kOutdoorTemperature), "-10.0");
    EXPECT_EQ(page.GetDlgItemText(ids::kConstantDay), "19");
}

// The curve chart draws the points the node's count enables, with the temperatures as typed;
// a count outside 2 to 5 leaves the points enabled before (three) and so their drawing.
TEST_F(SettingsTemperaturesTest, CurveChartDrawsTheEnabledPointsAsTyped) {
    const struct {
        std::uint8_t stored;
        std::size_t drawn;
    } cases[] = {{2, 2}, {3, 3}, {4, 4}, {5, 5}, {0, 3}, {6, 3}, {0xFF, 3}};
    const platform::ChartPoint typed[] = {{-20, 70}, {-10, 60}, {0, 50.5}, {10, 40}, {20, 30}};
    CNodePage& page = ShowCircuit1();
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.stored));
        SetCurvePoints(3);
        Click(page, res::common::kRead);
        SetCurvePoints(c.stored);
        Click(page, res::common::kRead);
        Forget();
        for (std::size_t k = 0; k < 5; ++k) {
            char text[16];
            std::snprintf(text, sizeof text, "%g", typed[k].x);
            page.SetDlgItemText(ids::kCurveOutdoor[k], text);
            std::snprintf(text, sizeof text, "%g", typed[k].y);
            page.SetDlgItemText(ids::kCurveForward[k], text);
        }
        EXPECT_EQ(page.GetChartSeries(ids::kCurveChart, HeatingCurvePage::kCurveSeries),
                  std::vector<platform::ChartPoint>(typed, typed + c.drawn));
        EXPECT_TRUE(calls.empty());  // drawing asks the node nothing
    }
}

// Unticking "Calc.setpt" disables every point and empties the curve; the timer's live outdoor
// temperature and calculated set point are the marked operating point.
TEST_F(SettingsTemperaturesTest, CurveChartFollowsTheWayAndMarksTheLiveOperatingPoint) {
    CNodePage& page = ShowCircuit1();
    const std::string curve = HeatingCurvePage::kCurveSeries;
    EXPECT_FALSE(page.GetChartSeries(ids::kCurveChart, curve).empty());
    Click(page, ids::kCalculatedSetPointOn);
    EXPECT_TRUE(page.GetChartSeries(ids::kCurveChart, curve).empty());
    node.SetRaw(20, {0x17, 0x70});  // 60.00
    node.SetRaw(13, {0xFC, 0x18});  // -10.00
    page.DeliverTimer(1);
    EXPECT_EQ(page.GetChartSeries(ids::kCurveChart, HeatingCurvePage::kNowSeries),
              (std::vector<platform::ChartPoint>{{-10, 60}}));
}

// The trend takes the values each live refresh shows, at the PC time of the refresh, keeps ten
// minutes of them per field (300 refreshes of 2 s) and asks the node nothing beyond the
// refresh's own reads. Refreshes that did not run leave a gap of their time on x (minutes before
// the newest sample) and the samples it pushes past ten minutes go. Ticking "Trend" shows them.
TEST_F(SettingsTemperaturesTest, TrendKeepsTenMinutesOfTheRefreshedValuesWithoutNodeCalls) {
    CNodePage& page = ShowCircuit1();
    EXPECT_FALSE(page.IsDlgItemVisible(res::common::kTrendChart));
    const std::string outdoor(node::fields::kOutdoorTemperature.name);
    constexpr int kTicks = 400;
    const auto tickAt = [&](int second, int t) {
        desktop.SetNow({2026, 12, 7, 10 + second / 3600, second / 60 % 60, second % 60});
        node.SetRaw(13,
                    {static_cast<std::uint8_t>(t * 10 >> 8), static_cast<std::uint8_t>(t * 10)});
        page.DeliverTimer(1);
    };
    Forget();
    for (int t = 0; t < kTicks; ++t) {
        tickAt(2 * t, t);
    }
    EXPECT_EQ(calls.size(), 3u * kTicks);
    EXPECT_TRUE(desktop.Messages().empty());
    auto samples = page.Trend().Samples(outdoor);
    ASSERT_EQ(samples.size(), 300u);
    EXPECT_EQ(samples.front(), std::make_pair(-598.0, (kTicks - 300) / 10.0));
    EXPECT_EQ(samples.back(), std::make_pair(0.0, (kTicks - 1) / 10.0));
    // A minute without refreshes: the 30 samples more than ten minutes old go.
    tickAt(2 * (kTicks - 1) + 60, kTicks);
    samples = page.Trend().Samples(outdoor);
    ASSERT_EQ(samples.size(), 271u);
    EXPECT_EQ(samples.front(), std::make_pair(-598.0, (kTicks - 270) / 10.0));
    Click(page, res::common::kTrend);
    EXPECT_TRUE(page.IsDlgItemVisible(res::common::kTrendChart));
    const auto drawn = page.GetChartSeries(res::common::kTrendChart, outdoor);
    ASSERT_EQ(drawn.size(), 271u);
    EXPECT_EQ(drawn[269], (platform::ChartPoint{-1, (kTicks - 1) / 10.0}));
    EXPECT_EQ(drawn.back(), (platform::ChartPoint{0, kTicks / 10.0}));
    EXPECT_EQ(calls.size(), 3u * kTicks + 3u);
}

// Circuit 2's check box enables the constant night temperature without asking the node.
TEST_F(SettingsTemperaturesTest, Circuit2NightRuleFollowsItsCheckBoxOnly) {
    Bytes part1 = PartBytes(node.Part(1));
    part1[8] = 0xFE;  // every bit but night lowering
    node.SetPart(1, part1);
    CNodePage& page = Show(Prepare(kPages[1].page));
    EXPECT_EQ(page.IsDlgButtonChecked(ids::kNightLowering), 0);
    EXPECT_FALSE(page.IsDlgItemEnabled(ids::kConstantNight));
    Forget();
    Click(page, ids::kNightLowering);
    EXPECT_TRUE(page.IsDlgItemEnabled(ids::kConstantNight));
    Click(page, ids::kNightLowering);
    EXPECT_FALSE(page.IsDlgItemEnabled(ids::kConstantNight));
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(page.IsDlgItemEnabled(ids::kConstantDay));
}

// The node's curve is held flat beyond its end points (by outdoor temperature) out to the
// outdoor axis' limits (-20 to 20 °C widened to round steps around the points); the night curve
// lies the node's night offset lower, and none is drawn without one. A typed point is drawn
// apart from the node's curve until it is written.
TEST_F(SettingsTemperaturesTest, CurveChartHoldsTheEndsFlatAndLowersTheNightCurve) {
    const struct {
        const char* points[4];  // outdoor 1, forward 1, outdoor 2, forward 2
        const char* offset;
        const char* flat;
        const char* night;
    } cases[] = {
        // clang-format off
        {{"-15", "75", "20", "35"}, "5", "(-20,75) (-15,75) | (20,35) (25,35)",
         "(-20,70) (-15,70) (20,30) (25,30)"},
        {{"10", "40", "-30", "95"}, "0", "(-35,95) (-30,95) | (10,40) (20,40)", ""},
        {{"-10", "60", "5", "45"}, "-2.5", "(-20,60) (-10,60) | (5,45) (20,45)",
         "(-20,62.5) (-10,62.5) (5,47.5) (20,47.5)"},
        // clang-format on
    };
    CNodePage& page = ShowCircuit1();
    ASSERT_EQ(EnabledPoints(page), 0x03);
    using Page = HeatingCurvePage;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flat);
        const int edits[] = {ids::kCurveOutdoor[0], ids::kCurveForward[0], ids::kCurveOutdoor[1],
                             ids::kCurveForward[1]};
        for (int k = 0; k < 4; ++k) {
            page.SetDlgItemText(edits[k], c.points[k]);
        }
        page.SetDlgItemText(ids::kNightOffset, c.offset);
        const std::string node =
            Drawn(page.GetChartSeries(ids::kCurveChart, Page::kNodeCurveSeries));
        Click(page, res::common::kWrite);
        EXPECT_NE(node, "") << "typed points drawn apart before the write";
        EXPECT_EQ(Drawn(page.GetChartSeries(ids::kCurveChart, Page::kNodeCurveSeries)), "");
        EXPECT_EQ(Drawn(page.GetChartSeries(ids::kCurveChart, Page::kFlatSeries)), c.flat);
        EXPECT_EQ(Drawn(page.GetChartSeries(ids::kCurveChart, Page::kNightSeries)), c.night);
    }
}

// The operating point is labelled with the curve its set point lies on: the factory curve gives
// 52.5 °C at 4 °C outdoors, lowered by 5 °C at night; a set point on neither is just "Now".
TEST_F(SettingsTemperaturesTest, OperatingPointNamesTheCurveItLiesOn) {
    const struct {
        std::uint8_t setPoint[2];
        const char* row;
    } cases[] = {{{0x14, 0x82}, "Now (day),4,52.5,Forward °C\n"},
                 {{0x12, 0x8E}, "Now (night),4,47.5,Forward °C\n"},
                 {{0x0B, 0xB8}, "Now,4,30,Forward °C\n"}};
    CNodePage& page = ShowCircuit1();
    node.SetRaw(13, {0x01, 0x90});  // 4.00
    for (const auto& c : cases) {
        node.SetRaw(20, {c.setPoint[0], c.setPoint[1]});
        page.DeliverTimer(1);
        const std::string csv = page.GetChartCsv(ids::kCurveChart);
        EXPECT_EQ(csv.substr(csv.rfind('\n', csv.size() - 2) + 1), c.row);
    }
}

// Hiding the page stops its refreshes: the trend's lines break there rather than join the values
// on either side. The chart's CSV holds the legend's short names, the minutes before now and the
// unit of each value's axis.
TEST_F(SettingsTemperaturesTest, TrendBreaksWhereThePageWasHiddenAndSavesAsCsv) {
    node.SetRaw(20, {0x17, 0x70});  // 60.00
    node.SetRaw(11, {0x15, 0x7C});  // 55.00
    node.SetRaw(13, {0xFC, 0x18});  // -10.00
    desktop.SetNow({2026, 12, 7, 10, 0, 0});
    CNodePage& page = ShowCircuit1();
    Click(page, res::common::kTrend);
    desktop.SetNow({2026, 12, 7, 10, 0, 2});
    page.DeliverTimer(1);
    Show(sheet->nodeInfo);
    desktop.SetNow({2026, 12, 7, 10, 1, 0});
    Show(page);
    desktop.SetNow({2026, 12, 7, 10, 1, 2});
    page.DeliverTimer(1);
    const std::string outdoor(node::fields::kOutdoorTemperature.name);
    EXPECT_EQ(Drawn(page.GetChartSeries(res::common::kTrendChart, outdoor)),
              "(-1.03333,-10) (-1,-10) | (-0.0333333,-10) (0,-10)");
    const std::string path = std::string(VIREO_TEST_TMP) + "/trend.csv";
    desktop.QueueFile(path);
    page.SaveChart(res::common::kTrendChart, platform::ChartFile::Csv);
    std::string csv;
    ASSERT_EQ(platform::ReadWholeFile(path, csv), "");
    std::string expected = "series,minutes,y,y axis\n";
    for (const char* row : {"Set point,%s,60,°C\n", "Forward,%s,55,°C\n", "Outdoor,%s,-10,°C\n"}) {
        for (const char* minutes : {"-1.03333", "-1", "-0.0333333", "0"}) {
            char line[64];
            std::snprintf(line, sizeof line, row, minutes);
            expected += line;
        }
    }
    EXPECT_EQ(csv, expected);
    // A file that cannot be written is one line of message, and a cancelled dialog nothing.
    desktop.QueueFile(std::string(VIREO_TEST_TMP) + "/missing/trend.csv");
    desktop.QueueFile(std::nullopt);
    for (int k = 0; k < 2; ++k) {
        page.SaveChart(res::common::kTrendChart, platform::ChartFile::Csv);
    }
    ASSERT_EQ(desktop.Messages().size(), 1u);
    EXPECT_EQ(desktop.Messages()[0].text.rfind("Cannot save ", 0), 0u);
    EXPECT_EQ(desktop.Messages()[0].text.find('\n'), std::string::npos);
}

// Both charts of the shown page save as PNG files of their size in the window, which they fill
// across, with their lines drawn in colour on the grey and white of axes and grid.
TEST_F(SettingsTemperaturesTest, ChartsSaveAsPicturesOfTheirShownSize) {
    CNodePage& page = ShowCircuit1();
    sheet->Window()->resize(1060, 900);
    sheet->Window()->show();
    Click(page, res::common::kTrend);
    for (int t = 0; t < 60; ++t) {
        desktop.SetNow({2026, 12, 7, 10, t / 10, t % 10 * 6});
        node.SetRaw(13, {0x00, static_cast<std::uint8_t>(t * 4)});
        page.DeliverTimer(1);
    }
    QApplication::processEvents();
    for (const auto& [id, name] : {std::pair{ids::kCurveChart, "heating-curve.png"},
                                   std::pair{res::common::kTrendChart, "trend.png"}}) {
        SCOPED_TRACE(name);
        const std::string path = std::string(VIREO_TEST_TMP) + "/" + name;
        desktop.QueueFile(path);
        page.SaveChart(id, platform::ChartFile::Png);
        const QImage image(QString::fromStdString(path));
        EXPECT_GT(image.width(), 600);
        EXPECT_GE(image.height(), 280);
        int coloured = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                const int spread = std::max({c.red(), c.green(), c.blue()}) -
                                   std::min({c.red(), c.green(), c.blue()});
                coloured += spread > 60 ? 1 : 0;
            }
        }
        EXPECT_GT(coloured, 1000);
    }
    sheet->Window()->hide();
}

}  // namespace
