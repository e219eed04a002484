// The pump pages of Mp1 and Mp2 on the simulated node: live output and alarm flags, the mode
// word of NV 25 shown and written back, and the bytes of NV 25 that are not the page's own.
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "ModeWords.h"
#include "PageBytes.h"
#include "SheetFixture.h"
#include "platform/DialogTemplate.h"

namespace {

constexpr int kOff = 339;
constexpr int kManual = 340;
constexpr int kAutomatic = 341;
constexpr int kOutput = 212;
constexpr int kPumpFault = 201;
constexpr int kPressFaultStop = 202;
constexpr int kPressFault = 203;

struct PumpCase {
    const char* name;
    CNodePage& (*page)(CSheet&);
    int dialogId;
    const char* group;
    int modeOffset;
    int outputNv;
    int alarmByte;
};

void PrintTo(const PumpCase& c, std::ostream* os) {
    *os << c.name;
}

const PumpCase kPumps[] = {
    {"Mp1", [](CSheet& s) -> CNodePage& { return s.pumpMp1; }, 212, "Status pump (Mp1)", 1, 27, 1},
    {"Mp2", [](CSheet& s) -> CNodePage& { return s.pumpMp2; }, 213, "Status pump (Mp2)", 7, 32, 0},
};

// A value for NV 25 in which no two bytes are equal and no word reads as Off or Manual.
host::Bytes Pattern() {
    host::Bytes bytes(31);
    for (int i = 0; i < 31; ++i) {
        bytes[i] = static_cast<std::uint8_t>(0x40 + 5 * i);
    }
    return bytes;
}

class PumpPageTest : public SheetFixture, public ::testing::WithParamInterface<PumpCase> {
protected:
    CNodePage& ShowPump() {
        Open();
        return Show(GetParam().page(*sheet));
    }

    void SetModeWords(int word) {
        host::Bytes bytes = Pattern();
        bytes[GetParam().modeOffset] = static_cast<std::uint8_t>(word >> 8);
        bytes[GetParam().modeOffset + 1] = static_cast<std::uint8_t>(word);
        node.SetRaw(25, bytes);
    }

    // NV 25 as the pattern with only the page's mode word changed.
    host::Bytes PatternWithMode(int word) const {
        host::Bytes bytes = Pattern();
        bytes[GetParam().modeOffset] = static_cast<std::uint8_t>(word >> 8);
        bytes[GetParam().modeOffset + 1] = static_cast<std::uint8_t>(word);
        return bytes;
    }

    std::vector<int> Marked(CNodePage& page) const {
        return {page.IsDlgButtonChecked(kOff), page.IsDlgButtonChecked(kManual),
                page.IsDlgButtonChecked(kAutomatic)};
    }
};

TEST_P(PumpPageTest, ShowRefreshesThenReadsWithThePagesVariables) {
    ShowPump();
    const std::string output = "ReadNv " + std::to_string(GetParam().outputNv) + " 32 -> 0";
    EXPECT_EQ(calls, (std::vector<std::string>{output, "ReadNv 35 32 -> 0", "ReadNv 25 32 -> 0"}));
    EXPECT_TRUE(desktop.Sleeps().empty());
    // The mode radios sit in the group of the page's pump.
    EXPECT_EQ(platform::FindDialogTemplate(GetParam().dialogId).controls.at(0).group,
              GetParam().group);
}

TEST_P(PumpPageTest, OutputIsOnForAnyNonZeroByteOne) {
    CNodePage& page = ShowPump();
    const struct {
        host::Bytes value;
        const char* shown;
    } cases[] = {
        {{0x00, 0x01}, "ON"},  {{0x00, 0x80}, "ON"},  {{0x00, 0x7F}, "ON"},
        {{0xFF, 0x00}, "OFF"}, {{0x00, 0x00}, "OFF"}, {{0x00, 0xFF}, "ON"},
    };
    for (const auto& c : cases) {
        node.SetRaw(GetParam().outputNv, c.value);
        page.DeliverTimer(1);
        EXPECT_EQ(page.GetDlgItemText(kOutput), c.shown) << Hex(c.value);
    }
}

TEST_P(PumpPageTest, AlarmsComeFromMasks01_20_10OfThePagesAlarmByte) {
    CNodePage& page = ShowPump();
    const struct {
        int byte;
        const char* pump;
        const char* stop;
        const char* press;
    } cases[] = {
        {0x01, "Alarm", "OK", "OK"},       {0x20, "OK", "Alarm", "OK"}, {0x10, "OK", "OK", "Alarm"},
        {0x31, "Alarm", "Alarm", "Alarm"}, {0xCE, "OK", "OK", "OK"},  // every other bit set
        {0x00, "OK", "OK", "OK"},
    };
    for (const auto& c : cases) {
        host::Bytes flags{0xFF, 0xFF};  // the other pump's byte carries every alarm
        flags[GetParam().alarmByte] = static_cast<std::uint8_t>(c.byte);
        node.SetRaw(35, flags);
        page.DeliverTimer(1);
        EXPECT_EQ(page.GetDlgItemText(kPumpFault), c.pump) << c.byte;
        EXPECT_EQ(page.GetDlgItemText(kPressFaultStop), c.stop) << c.byte;
        EXPECT_EQ(page.GetDlgItemText(kPressFault), c.press) << c.byte;
        // An alarm is shown in red, and only an alarm.
        for (const int id : {kPumpFault, kPressFaultStop, kPressFault}) {
            EXPECT_EQ(page.GetDlgItemColour(id) == platform::TextColour::Alarm,
                      page.GetDlgItemText(id) == "Alarm")
                << c.byte << " " << id;
        }
    }
}

TEST_P(PumpPageTest, FailedLiveReadKeepsItsTextsAndTheOtherStillRuns) {
    CNodePage& page = ShowPump();
    node.SetRaw(GetParam().outputNv, {0x00, 0x01});
    host::Bytes flags{0, 0};
    flags[GetParam().alarmByte] = 0x01;
    node.SetRaw(35, flags);
    node.FailRead(GetParam().outputNv);
    page.DeliverTimer(1);
    EXPECT_EQ(page.GetDlgItemText(kOutput), "OFF");
    EXPECT_EQ(page.GetDlgItemText(kPumpFault), "Alarm");
}

// Every word that is not Off or Manual shows Automatic and is written back as 255; the rest
// of NV 25, the other pump's word and the hot-water words included, goes back as read.
TEST_P(PumpPageTest, ModeWordIsShownAndWrittenBackOnlyIntoItsOwnBytes) {
    CNodePage& page = ShowPump();
    for (const ModeWordCase& c : kModeWordCases) {
        SetModeWords(c.word);
        Click(page, 211);
        EXPECT_EQ(Marked(page), ModeMarks(c.shown)) << c.word;
        Click(page, 210);
        EXPECT_EQ(node.Raw(25), PatternWithMode(c.written)) << c.word;
    }
}

TEST_P(PumpPageTest, ClickedModeIsWrittenAsItsWord) {
    CNodePage& page = ShowPump();
    const struct {
        int radio;
        int written;
    } cases[] = {{kManual, 1}, {kOff, 0}, {kAutomatic, 255}};
    for (const auto& c : cases) {
        SetModeWords(0x1234);
        Click(page, c.radio);
        Forget();
        Click(page, 210);
        EXPECT_EQ(node.Raw(25), PatternWithMode(c.written)) << c.radio;
        EXPECT_EQ(calls, (std::vector<std::string>{
                             "ReadNv 25 31 -> 0",
                             "WriteNv 25 " + Hex(PatternWithMode(c.written)) + " -> 0"}));
        EXPECT_EQ(page.GetDlgItemText(210), "Write");
    }
}

// Radios never filled from the node nor clicked keep the node's mode word.
TEST_P(PumpPageTest, NoRadioFilledKeepsTheNodesMode) {
    node.FailRead(25);
    CNodePage& page = ShowPump();
    EXPECT_EQ(Marked(page), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(page.GetDlgItemText(211), "Read");
    node.Heal();
    SetModeWords(0);
    Click(page, 210);
    EXPECT_EQ(node.Raw(25), PatternWithMode(0));
}

TEST_P(PumpPageTest, FailedReadBeforeWriteLeavesTheNodeAlone) {
    CNodePage& page = ShowPump();
    SetModeWords(0);
    Click(page, kManual);
    node.FailRead(25);
    Forget();
    Click(page, 210);
    EXPECT_TRUE(CallsOf("WriteNv").empty());
    EXPECT_EQ(node.Raw(25), PatternWithMode(0));
    EXPECT_EQ(page.GetDlgItemText(210), "Write");
    EXPECT_TRUE(desktop.Messages().empty());
}

TEST_P(PumpPageTest, TickRefreshesLiveValuesButKeepsAnUnwrittenMode) {
    CNodePage& page = ShowPump();
    Click(page, kManual);
    node.SetRaw(GetParam().outputNv, {0x00, 0x01});
    Forget();
    page.DeliverTimer(1);
    EXPECT_EQ(page.GetDlgItemText(kOutput), "ON");
    EXPECT_EQ(Marked(page), (std::vector<int>{0, 1, 0}));
    EXPECT_TRUE(CallsOf("ReadNv 25").empty());
}

INSTANTIATE_TEST_SUITE_P(Pumps, PumpPageTest, ::testing::ValuesIn(kPumps),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
