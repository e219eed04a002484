// The Analog Valve pages of both circuits against the simulated node: what showing the page and
// Read put into the controls, the click handlers and the cascade rule, and that Write stores the
// controls into the page's own bytes and bits of NV 25, NV 26 and parts 1 and 6 only.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ModeWords.h"
#include "PageBytes.h"
#include "SheetFixture.h"

namespace {

using host::Bytes;

// What a test needs to know of one valve.
struct ValveCase {
    res::analog_valve::AnalogValveControlIds ids;
    int modeByte;    // NV 25
    int manualByte;  // NV 26
    int liveNv;
    std::uint8_t mask;  // voltage and invert flag in bytes 14 and 16 of part 1
};

struct TwinCase {
    const char* name;
    std::function<AnalogValvePage&(CSheet&)> page;
    ValveCase first;
    ValveCase second;
    std::uint8_t cascadeMask;  // byte 12 of part 1
    int cascadeByte;           // part 6
};

const TwinCase kTwins[] = {
    {"Page11",
     [](CSheet& s) -> AnalogValvePage& { return s.analogValves1; },
     {res::analog_valve::kValveMv1Ids, 3, 4, 28, 0x01},
     {res::analog_valve::kValveMv3Ids, 5, 6, 29, 0x02},
     0x01,
     12},
    {"Page12",
     [](CSheet& s) -> AnalogValvePage& { return s.analogValves2; },
     {res::analog_valve::kValveMv2Ids, 9, 10, 33, 0x40},
     {res::analog_valve::kValveMv4Ids, 11, 12, 34, 0x80},
     0x08,
     18},
};

constexpr int kCascade = 246;
constexpr int kCascadeOutput = 280;

void PutWord(Bytes& bytes, int at, int word) {
    bytes[at] = static_cast<std::uint8_t>(word >> 8);
    bytes[at + 1] = static_cast<std::uint8_t>(word);
}

void PrintTo(const TwinCase& twin, std::ostream* os) {
    *os << twin.name;
}

class AnalogValvePageTest : public SheetFixture, public ::testing::WithParamInterface<TwinCase> {
protected:
    const TwinCase& Twin() const { return GetParam(); }

    // Opens the sheet with the page set that holds the page, without showing the page.
    AnalogValvePage& Prepare() {
        if (!sheet) {
            Open();
        }
        AnalogValvePage& page = Twin().page(*sheet);
        if (sheet->GetPageIndex(&page) < 0) {
            sheet->SetActivePage(0);
            sheet->nodeInfo.ClickDlgItem(235);  // "VI2"
        }
        return page;
    }

    AnalogValvePage& ShowPage() { return Show(Prepare()); }

    // The mode radio marked for a valve: "Off", "Manual", "Automatic", "" or "several".
    static std::string MarkedMode(const AnalogValvePage& page, const ValveCase& valve) {
        std::string marked;
        const std::pair<int, const char*> radios[] = {{valve.ids.off, "Off"},
                                                      {valve.ids.manual, "Manual"},
                                                      {valve.ids.automatic, "Automatic"}};
        for (const auto& [id, name] : radios) {
            if (page.IsDlgButtonChecked(id) == 1) {
                marked = marked.empty() ? name : "several";
            }
        }
        return marked;
    }

    static std::vector<int> CascadeControls(const ValveCase& second) {
        return {second.ids.off,        second.ids.manual,     second.ids.automatic,
                second.ids.volts0to10, second.ids.volts2to10, second.ids.invert,
                second.ids.out,        kCascadeOutput};
    }
};

TEST_P(AnalogValvePageTest, ShowRefreshesReadsBothPartsAndEndsWithTheNodesModes) {
    const TwinCase& t = Twin();
    Prepare();  // the sheet reads the variant word of part 1 when it opens
    Bytes part1(31, 0);
    part1[12] = t.cascadeMask;
    part1[14] = t.first.mask;   // first valve 2-10 V, second 0-10 V
    part1[16] = t.second.mask;  // second valve inverted
    node.SetPart(1, part1);
    Bytes part6(31, 0);
    part6[t.cascadeByte] = 61;  // 30.5 %
    node.SetPart(6, part6);
    Bytes modes(31, 0);
    PutWord(modes, t.first.modeByte, 1);   // Manual
    PutWord(modes, t.second.modeByte, 0);  // Off
    node.SetRaw(nv::kModeWords, modes);
    Bytes outputs(31, 0);
    outputs[t.first.manualByte] = 41;    // 20.5 %
    outputs[t.second.manualByte] = 200;  // 100 %
    node.SetRaw(nv::kManualOutputs, outputs);
    node.SetRaw(t.first.liveNv, {0x4E, 0x20});   // 20000 x 0.005 = 100 %
    node.SetRaw(t.second.liveNv, {0x0F, 0xA0});  // 4000 -> 20 %

    AnalogValvePage& page = ShowPage();

    // The read routine leaves part 6 selected.
    EXPECT_EQ(node.Selector(), 6);
    EXPECT_TRUE(page.IsTimerRunning(1));

    EXPECT_EQ(page.GetDlgItemText(t.first.ids.out), "100");
    EXPECT_EQ(page.GetDlgItemText(t.second.ids.out), "20");
    EXPECT_EQ(page.GetDlgItemText(t.first.ids.in), "20");  // 20.5 by "%.0f"
    EXPECT_EQ(page.GetDlgItemText(t.second.ids.in), "100");
    EXPECT_EQ(page.GetDlgItemText(kCascadeOutput), "30");  // 30.5 by "%.0f"
    EXPECT_EQ(page.IsDlgButtonChecked(kCascade), 1);
    EXPECT_EQ(page.IsDlgButtonChecked(t.first.ids.volts2to10), 1);
    EXPECT_EQ(page.IsDlgButtonChecked(t.first.ids.volts0to10), 0);
    EXPECT_EQ(page.IsDlgButtonChecked(t.second.ids.volts0to10), 1);
    EXPECT_EQ(page.IsDlgButtonChecked(t.second.ids.volts2to10), 0);
    EXPECT_EQ(page.IsDlgButtonChecked(t.first.ids.invert), 0);
    EXPECT_EQ(page.IsDlgButtonChecked(t.second.ids.invert), 1);
    for (int id : CascadeControls(t.second)) {
        EXPECT_TRUE(page.IsDlgItemEnabled(id)) << id;
    }
    // The cascade rule ran inside Read and again on show, yet the modes are those of NV 25.
    EXPECT_EQ(MarkedMode(page, t.first), "Manual");
    EXPECT_TRUE(page.IsDlgItemEnabled(t.first.ids.in));
    EXPECT_EQ(MarkedMode(page, t.second), "Off");
    EXPECT_FALSE(page.IsDlgItemEnabled(t.second.ids.in));
    EXPECT_EQ(page.GetDlgItemText(res::common::kRead), "Read");
}

TEST_P(AnalogValvePageTest, WriteRightAfterShowingKeepsTheNodesModesWithCascadeOff) {
    const TwinCase& t = Twin();
    Prepare();
    Bytes part1 = Pattern(0x10);
    part1[12] = static_cast<std::uint8_t>(part1[12] & ~t.cascadeMask);
    node.SetPart(1, part1);
    Bytes modes = Pattern(0x33);
    PutWord(modes, t.first.modeByte, 0);
    PutWord(modes, t.second.modeByte, 1);  // Manual, while its radios are disabled
    node.SetRaw(nv::kModeWords, modes);

    AnalogValvePage& page = ShowPage();
    EXPECT_EQ(page.IsDlgButtonChecked(kCascade), 0);
    for (int id : CascadeControls(t.second)) {
        EXPECT_FALSE(page.IsDlgItemEnabled(id)) << id;
    }
    EXPECT_EQ(MarkedMode(page, t.second), "Manual");
    Click(page, res::common::kWrite);

    EXPECT_EQ(node.Raw(nv::kModeWords), modes);
    EXPECT_EQ(MarkedMode(page, t.second), "Manual");
    EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");
}

TEST_P(AnalogValvePageTest, ModeWordsShowAsOffManualOrAutomaticAndWriteBackAs0_1_255) {
    const TwinCase& t = Twin();
    AnalogValvePage& page = ShowPage();
    for (const ModeWordCase& c : kModeWordCases) {
        SCOPED_TRACE(c.word);
        Bytes modes = Pattern(0x5A);
        PutWord(modes, t.first.modeByte, c.word);
        PutWord(modes, t.second.modeByte, c.word);
        node.SetRaw(nv::kModeWords, modes);
        Click(page, res::common::kRead);
        EXPECT_EQ(MarkedMode(page, t.first), ModeName(c.shown));
        EXPECT_EQ(MarkedMode(page, t.second), ModeName(c.shown));
        EXPECT_EQ(page.IsDlgItemEnabled(t.first.ids.in), c.word == 1);
        EXPECT_EQ(page.IsDlgItemEnabled(t.second.ids.in), c.word == 1);

        Click(page, res::common::kWrite);
        Bytes expected = modes;
        PutWord(expected, t.first.modeByte, c.written);
        PutWord(expected, t.second.modeByte, c.written);
        EXPECT_EQ(node.Raw(nv::kModeWords), expected);
    }
}

TEST_P(AnalogValvePageTest, NoModeFilledKeepsTheNodesModes) {
    const TwinCase& t = Twin();
    // Neither the flags nor the modes can be read on show: no mode radio gets marked.
    Prepare();
    node.FailRead(nv::kModeWords);
    node.FailRead(nv::kPluginCnf);
    AnalogValvePage& page = ShowPage();
    EXPECT_EQ(MarkedMode(page, t.first), "");
    EXPECT_EQ(MarkedMode(page, t.second), "");

    node.Heal();
    const Bytes modes = Pattern(0x00);
    node.SetRaw(nv::kModeWords, modes);
    node.FailRead(nv::kPluginCnf);  // keep Read's cascade rule from marking the second valve
    Click(page, res::common::kWrite);
    EXPECT_EQ(node.Raw(nv::kModeWords), modes);
}

TEST_P(AnalogValvePageTest, TypedOutputsAreStoredInHalfStepsWithoutRangeCheck) {
    const TwinCase& t = Twin();
    AnalogValvePage& page = ShowPage();
    const struct {
        const char* typed;
        int stored;
        const char* readBack;
    } cases[] = {{"50.7", 101, "50"},  // 50.5 shown by "%.0f"
                 {"150", 44, "22"},    // low byte of 300
                 {"-10", 236, "118"},  // low byte of -20
                 {"12abc", 24, "12"}, {"abc", 0, "0"}, {"127.5", 255, "128"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        page.SetDlgItemText(t.first.ids.in, c.typed);
        page.SetDlgItemText(t.second.ids.in, c.typed);  // stored even while disabled
        page.SetDlgItemText(kCascadeOutput, c.typed);
        Click(page, res::common::kWrite);
        EXPECT_EQ(node.Raw(nv::kManualOutputs)[t.first.manualByte], c.stored);
        EXPECT_EQ(node.Raw(nv::kManualOutputs)[t.second.manualByte], c.stored);
        EXPECT_EQ(node.Part(6)[t.cascadeByte], c.stored);
        // Write ends with Read: the edits show what the node now holds.
        EXPECT_EQ(page.GetDlgItemText(t.first.ids.in), c.readBack);
        EXPECT_EQ(page.GetDlgItemText(t.second.ids.in), c.readBack);
        EXPECT_EQ(page.GetDlgItemText(kCascadeOutput), c.readBack);
    }
}

TEST_P(AnalogValvePageTest, TimerRefreshesOnlyTheLiveOutputs) {
    const TwinCase& t = Twin();
    AnalogValvePage& page = ShowPage();
    page.SetDlgItemText(t.first.ids.in, "33");
    const struct {
        Bytes word;
        const char* shown;
    } cases[] = {
        {{0x4E, 0x20}, "100"}, {{0x00, 0x00}, "0"}, {{0x27, 0x10}, "50"}, {{0xFF, 0xFF}, "328"}};
    for (const auto& c : cases) {
        node.SetRaw(t.first.liveNv, c.word);
        node.SetRaw(t.second.liveNv, c.word);
        Forget();
        page.DeliverTimer(1);
        EXPECT_EQ(page.GetDlgItemText(t.first.ids.out), c.shown);
        EXPECT_EQ(page.GetDlgItemText(t.second.ids.out), c.shown);
        EXPECT_EQ(CallsOf("ReadNv").size(), 2u);
    }
    // A failed read leaves its edit as it was; the other is still refreshed.
    node.FailRead(t.first.liveNv);
    node.SetRaw(t.second.liveNv, {0x00, 0xC8});
    page.DeliverTimer(1);
    EXPECT_EQ(page.GetDlgItemText(t.first.ids.out), "328");
    EXPECT_EQ(page.GetDlgItemText(t.second.ids.out), "1");
    EXPECT_EQ(page.GetDlgItemText(t.first.ids.in), "33");  // typed values stay
}

TEST_P(AnalogValvePageTest, ClickHandlersKeepGroupsExclusiveAndRunTheCascadeRule) {
    const TwinCase& t = Twin();
    AnalogValvePage& page = ShowPage();  // factory part 1: cascade off
    ASSERT_EQ(page.IsDlgButtonChecked(kCascade), 0);
    Forget();

    Click(page, t.first.ids.manual);
    EXPECT_EQ(MarkedMode(page, t.first), "Manual");
    EXPECT_TRUE(page.IsDlgItemEnabled(t.first.ids.in));
    Click(page, t.first.ids.off);
    EXPECT_EQ(MarkedMode(page, t.first), "Off");
    EXPECT_FALSE(page.IsDlgItemEnabled(t.first.ids.in));
    Click(page, t.first.ids.volts2to10);
    EXPECT_EQ(page.IsDlgButtonChecked(t.first.ids.volts0to10), 0);
    Click(page, t.first.ids.volts0to10);
    EXPECT_EQ(page.IsDlgButtonChecked(t.first.ids.volts2to10), 0);

    // Ticking "Cascade" enables the second valve and puts it into Automatic.
    Click(page, kCascade);
    for (int id : CascadeControls(t.second)) {
        EXPECT_TRUE(page.IsDlgItemEnabled(id)) << id;
    }
    EXPECT_EQ(MarkedMode(page, t.second), "Automatic");
    Click(page, t.second.ids.manual);
    EXPECT_TRUE(page.IsDlgItemEnabled(t.second.ids.in));

    // Clearing it disables them and again selects Automatic, with "In" disabled.
    Click(page, kCascade);
    for (int id : CascadeControls(t.second)) {
        EXPECT_FALSE(page.IsDlgItemEnabled(id)) << id;
    }
    EXPECT_EQ(MarkedMode(page, t.second), "Automatic");
    EXPECT_FALSE(page.IsDlgItemEnabled(t.second.ids.in));
    EXPECT_EQ(MarkedMode(page, t.first), "Off");  // the first valve is not touched
    EXPECT_TRUE(CallsOf("WriteNv").empty());
}

TEST_P(AnalogValvePageTest, WriteChangesOnlyThePagesBytesAndBits) {
    const TwinCase& t = Twin();
    AnalogValvePage& page = ShowPage();
    // Two rounds: every stray bit set and the page's flags cleared, then the other way round.
    for (const bool on : {false, true}) {
        SCOPED_TRACE(on ? "flags on" : "flags off");
        std::vector<host::PartImage> partsBefore;
        for (int p = 1; p <= nv::kPartCount; ++p) {
            node.SetPart(p, Pattern(static_cast<std::uint8_t>(on ? 0x00 + p : 0xF0 + p)));
        }
        Bytes part1 = Pattern(on ? 0x00 : 0xF1);
        for (int at : {12, 14, 16}) {
            part1[at] = on ? 0x00 : 0xFF;
        }
        node.SetPart(1, part1);
        for (int p = 1; p <= nv::kPartCount; ++p) {
            partsBefore.push_back(node.Part(p));
        }
        const Bytes modes = Pattern(on ? 0x21 : 0xC3);
        const Bytes outputs = Pattern(on ? 0x42 : 0x99);
        const Bytes delays = Pattern(0x11);
        node.SetRaw(nv::kModeWords, modes);
        node.SetRaw(nv::kManualOutputs, outputs);
        node.SetRaw(nv::kExtendedDelays, delays);

        page.CheckDlgButton(kCascade, on ? 1 : 0);
        page.CheckDlgButton(t.first.ids.invert, on ? 1 : 0);
        page.CheckDlgButton(t.second.ids.invert, on ? 1 : 0);
        page.CheckDlgButton(t.first.ids.volts0to10, 0);
        page.CheckDlgButton(t.first.ids.volts2to10, on ? 1 : 0);  // off: neither marked
        page.CheckDlgButton(t.second.ids.volts0to10, on ? 0 : 1);
        page.CheckDlgButton(t.second.ids.volts2to10, on ? 1 : 0);
        page.CheckDlgButton(t.first.ids.off, on ? 0 : 1);
        page.CheckDlgButton(t.first.ids.manual, on ? 1 : 0);
        page.CheckDlgButton(t.first.ids.automatic, 0);
        page.CheckDlgButton(t.second.ids.off, 0);
        page.CheckDlgButton(t.second.ids.manual, 0);
        page.CheckDlgButton(t.second.ids.automatic, 1);
        page.SetDlgItemText(t.first.ids.in, "10");
        page.SetDlgItemText(t.second.ids.in, "20.5");
        page.SetDlgItemText(kCascadeOutput, "75");
        Click(page, res::common::kWrite);

        Bytes expectedModes = modes;
        PutWord(expectedModes, t.first.modeByte, on ? 1 : 0);
        PutWord(expectedModes, t.second.modeByte, 255);
        EXPECT_EQ(node.Raw(nv::kModeWords), expectedModes);
        Bytes expectedOutputs = outputs;
        expectedOutputs[t.first.manualByte] = 20;
        expectedOutputs[t.second.manualByte] = 41;
        EXPECT_EQ(node.Raw(nv::kManualOutputs), expectedOutputs);
        EXPECT_EQ(node.Raw(nv::kExtendedDelays), delays);

        Bytes expectedPart1 = part1;
        const auto flip = [on](std::uint8_t& byte, std::uint8_t mask) {
            byte = static_cast<std::uint8_t>(on ? byte | mask : byte & ~mask);
        };
        flip(expectedPart1[12], t.cascadeMask);
        flip(expectedPart1[14], t.first.mask | t.second.mask);
        flip(expectedPart1[16], t.first.mask | t.second.mask);
        EXPECT_EQ(PartBytes(node.Part(1)), expectedPart1);
        Bytes expectedPart6 = PartBytes(partsBefore[5]);
        expectedPart6[t.cascadeByte] = 150;
        EXPECT_EQ(PartBytes(node.Part(6)), expectedPart6);
        for (int p = 2; p <= nv::kPartCount; ++p) {
            if (p != 6) {
                EXPECT_EQ(node.Part(p), partsBefore[p - 1]) << "part " << p;
            }
        }
        EXPECT_EQ(node.Selector(), 6);
    }
}

TEST_P(AnalogValvePageTest, WriteStepWhoseReadFailsIsSkippedAndTheChainGoesOn) {
    const TwinCase& t = Twin();
    AnalogValvePage& page = ShowPage();
    const Bytes outputs = Pattern(0x42);
    node.SetRaw(nv::kManualOutputs, outputs);
    node.FailRead(nv::kManualOutputs);
    Click(page, t.first.ids.manual);
    page.SetDlgItemText(t.first.ids.in, "40");
    page.SetDlgItemText(kCascadeOutput, "60");
    Forget();
    Click(page, res::common::kWrite);

    EXPECT_EQ(node.Raw(nv::kManualOutputs), outputs);
    EXPECT_EQ(node.Raw(nv::kModeWords)[t.first.modeByte + 1], 1);
    EXPECT_EQ(node.Part(6)[t.cascadeByte], 120);
    std::vector<std::string> written;  // the variables written, part selections left out
    for (const auto& line : CallsOf("WriteNv")) {
        if (line.rfind("WriteNv 44 ", 0) != 0) {
            written.push_back(line.substr(0, 10));
        }
    }
    EXPECT_EQ(written, (std::vector<std::string>{"WriteNv 25", "WriteNv 45", "WriteNv 45"}));
    EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");
    EXPECT_EQ(page.GetDlgItemText(res::common::kRead), "Read");
    // The failed read during the closing Read left the "In" edit as typed.
    EXPECT_EQ(page.GetDlgItemText(t.first.ids.in), "40");
}

INSTANTIATE_TEST_SUITE_P(Twins, AnalogValvePageTest, ::testing::ValuesIn(kTwins),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
