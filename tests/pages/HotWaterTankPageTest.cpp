// The hot-water tank page on the simulated node: live outputs of the tank pump Mp3 and the
// heating element, their mode words in NV 25, and the running time of the hot-water pump.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ModeWords.h"
#include "SheetFixture.h"

namespace {

constexpr int kPumpOff = 339;
constexpr int kPumpManual = 340;
constexpr int kPumpAutomatic = 341;
constexpr int kPumpOutput = 212;
constexpr int kRunningTime = 232;
constexpr int kElementOff = 342;
constexpr int kElementManual = 343;
constexpr int kElementAutomatic = 344;
constexpr int kElementOutput = 213;

// A value for NV 25 in which no two bytes are equal and no word reads as Off or Manual.
host::Bytes Pattern() {
    host::Bytes bytes(31);
    for (int i = 0; i < 31; ++i) {
        bytes[i] = static_cast<std::uint8_t>(0x90 + 3 * i);
    }
    return bytes;
}

host::Bytes PatternWithModes(int pump, int element) {
    host::Bytes bytes = Pattern();
    bytes[13] = static_cast<std::uint8_t>(pump >> 8);
    bytes[14] = static_cast<std::uint8_t>(pump);
    bytes[15] = static_cast<std::uint8_t>(element >> 8);
    bytes[16] = static_cast<std::uint8_t>(element);
    return bytes;
}

class HotWaterTankPageTest : public SheetFixture {
protected:
    CNodePage& ShowTank() {
        Open();
        return Show(sheet->hotWaterTank);
    }

    std::vector<int> Marked(CNodePage& page, std::vector<int> ids) const {
        for (int& id : ids) {
            id = page.IsDlgButtonChecked(id);
        }
        return ids;
    }
    std::vector<int> PumpMarked(CNodePage& page) const {
        return Marked(page, {kPumpOff, kPumpManual, kPumpAutomatic});
    }
    std::vector<int> ElementMarked(CNodePage& page) const {
        return Marked(page, {kElementOff, kElementManual, kElementAutomatic});
    }
};

TEST_F(HotWaterTankPageTest, ShowRefreshesThenReadsTheRunningTimeAndModes) {
    CNodePage& page = ShowTank();
    EXPECT_EQ(calls, (std::vector<std::string>{"ReadNv 31 32 -> 0", "ReadNv 30 32 -> 0",
                                               "ReadNv 41 32 -> 0", "ReadNv 25 32 -> 0"}));
    EXPECT_EQ(page.GetDlgItemText(kRunningTime), "300");  // factory nciTimePump3, 3000 tenths
    EXPECT_TRUE(page.IsTimerRunning(1));
}

TEST_F(HotWaterTankPageTest, OutputsAreShownInHalfPercentSteps) {
    CNodePage& page = ShowTank();
    const struct {
        int byte;
        const char* shown;
    } cases[] = {{0, "0"}, {200, "100"}, {101, "50"}, {3, "2"}, {255, "128"}};
    for (const auto& c : cases) {
        node.SetRaw(31, {static_cast<std::uint8_t>(c.byte), 0x44});
        node.SetRaw(30, {static_cast<std::uint8_t>(c.byte), 0x44});
        page.DeliverTimer(1);
        EXPECT_EQ(page.GetDlgItemText(kPumpOutput), c.shown) << c.byte;
        EXPECT_EQ(page.GetDlgItemText(kElementOutput), c.shown) << c.byte;
    }
    // Each output is read on its own: one failing leaves only its own text.
    node.SetRaw(31, {20});
    node.SetRaw(30, {40});
    node.FailRead(31);
    page.DeliverTimer(1);
    EXPECT_EQ(page.GetDlgItemText(kPumpOutput), "128");
    EXPECT_EQ(page.GetDlgItemText(kElementOutput), "20");
}

TEST_F(HotWaterTankPageTest, RunningTimeIsShownInWholeSecondsAndStoredInTenths) {
    CNodePage& page = ShowTank();
    node.SetRaw(41, {0x07, 0x0D});  // 1805 tenths
    Click(page, 211);
    EXPECT_EQ(page.GetDlgItemText(kRunningTime), "180");

    const struct {
        const char* typed;
        host::Bytes stored;
    } cases[] = {
        {"180.5", {0x07, 0x0D}}, {"180", {0x07, 0x08}},    {"12abc", {0x00, 0x78}},
        {"abc", {0x00, 0x00}},   {"6553.5", {0xFF, 0xFF}}, {"-0.1", {0xFF, 0xFF}},
    };
    for (const auto& c : cases) {
        page.SetDlgItemText(kRunningTime, c.typed);
        Click(page, 210);
        EXPECT_EQ(node.Raw(41), c.stored) << c.typed;
    }
}

// Every word that is not Off or Manual shows Automatic and is written back as 255; only bytes
// 13-16 of NV 25 change.
TEST_F(HotWaterTankPageTest, ModeWordsAreShownAndWrittenBackOnlyIntoTheirOwnBytes) {
    CNodePage& page = ShowTank();
    for (const ModeWordCase& c : kModeWordCases) {
        // The pump holds the case's word, the heating element Manual; then the other way round.
        node.SetRaw(25, PatternWithModes(c.word, 1));
        Click(page, 211);
        EXPECT_EQ(PumpMarked(page), ModeMarks(c.shown)) << c.word;
        EXPECT_EQ(ElementMarked(page), (std::vector<int>{0, 1, 0}));
        Click(page, 210);
        EXPECT_EQ(node.Raw(25), PatternWithModes(c.written, 1)) << c.word;

        node.SetRaw(25, PatternWithModes(0, c.word));
        Click(page, 211);
        EXPECT_EQ(PumpMarked(page), (std::vector<int>{1, 0, 0}));
        EXPECT_EQ(ElementMarked(page), ModeMarks(c.shown)) << c.word;
        Click(page, 210);
        EXPECT_EQ(node.Raw(25), PatternWithModes(0, c.written)) << c.word;
    }
}

TEST_F(HotWaterTankPageTest, GroupsAreIndependentAndExclusive) {
    CNodePage& page = ShowTank();
    Click(page, kPumpManual);
    Click(page, kElementAutomatic);
    Click(page, kPumpAutomatic);
    EXPECT_EQ(PumpMarked(page), (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(ElementMarked(page), (std::vector<int>{0, 0, 1}));
    Click(page, kElementOff);
    Click(page, kPumpManual);
    EXPECT_EQ(PumpMarked(page), (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(ElementMarked(page), (std::vector<int>{1, 0, 0}));
    node.SetRaw(25, Pattern());
    Click(page, 210);
    EXPECT_EQ(node.Raw(25), PatternWithModes(1, 0));
}

TEST_F(HotWaterTankPageTest, WriteSendsTheRunningTimeFirstAndDoesNotReadAgain) {
    CNodePage& page = ShowTank();
    node.SetRaw(25, Pattern());
    page.SetDlgItemText(kRunningTime, "25");
    Click(page, kPumpManual);
    Click(page, kElementOff);
    Forget();
    Click(page, 210);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0], "WriteNv 41 00 FA -> 0");
    EXPECT_EQ(calls[1], "ReadNv 25 31 -> 0");
    EXPECT_EQ(calls[2].rfind("WriteNv 25 ", 0), 0u);
    EXPECT_EQ(calls[2].size(), std::string("WriteNv 25 ").size() + 31 * 3 - 1 + 5);
    EXPECT_EQ(node.Raw(25), PatternWithModes(1, 0));
    EXPECT_EQ(page.GetDlgItemText(210), "Write");
}

// A group never filled from the node nor clicked keeps the node's mode word.
TEST_F(HotWaterTankPageTest, NoRadioFilledKeepsThatGroupsMode) {
    node.FailRead(25);
    CNodePage& page = ShowTank();
    EXPECT_EQ(PumpMarked(page), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(ElementMarked(page), (std::vector<int>{0, 0, 0}));
    node.Heal();
    node.SetRaw(25, PatternWithModes(0, 0));
    Click(page, kElementManual);
    Click(page, 210);
    EXPECT_EQ(node.Raw(25), PatternWithModes(0, 1));
}

TEST_F(HotWaterTankPageTest, FailedModeReadStillWritesTheRunningTime) {
    CNodePage& page = ShowTank();
    node.SetRaw(25, Pattern());
    node.FailRead(25);
    page.SetDlgItemText(kRunningTime, "42");
    Click(page, kPumpOff);
    Forget();
    Click(page, 210);
    EXPECT_EQ(node.Raw(41), (host::Bytes{0x01, 0xA4}));
    EXPECT_EQ(node.Raw(25), Pattern());
    EXPECT_EQ(CallsOf("WriteNv"), (std::vector<std::string>{"WriteNv 41 01 A4 -> 0"}));
    EXPECT_EQ(page.GetDlgItemText(210), "Write");
    EXPECT_TRUE(desktop.Messages().empty());
}

TEST_F(HotWaterTankPageTest, TickRefreshesOutputsButKeepsTypedValues) {
    CNodePage& page = ShowTank();
    page.SetDlgItemText(kRunningTime, "77");
    Click(page, kElementManual);
    node.SetRaw(30, {200});
    Forget();
    page.DeliverTimer(1);
    EXPECT_EQ(calls, (std::vector<std::string>{"ReadNv 31 32 -> 0", "ReadNv 30 32 -> 0"}));
    EXPECT_EQ(page.GetDlgItemText(kElementOutput), "100");
    EXPECT_EQ(page.GetDlgItemText(kRunningTime), "77");
    EXPECT_EQ(ElementMarked(page), (std::vector<int>{0, 1, 0}));
}

}  // namespace
