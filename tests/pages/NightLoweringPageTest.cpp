// The Night lowering / Summer stop page of circuit 1 on the simulated node: its three flags of
// part 1 with the rules that enable the controls belonging to them, the summer stop settings of
// part 3 and the room set point of part 4, selected with pauses of 200 ms; and the page of the
// same layout that never talks to the node.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "PageBytes.h"
#include "SheetFixture.h"
#include "platform/DialogTemplate.h"
#include "res/NightLoweringDialogs.h"

namespace {

using host::Bytes;
using namespace res::night_lowering;

std::vector<std::string> Heads(const std::vector<std::string>& calls) {
    std::vector<std::string> heads;
    for (const std::string& call : calls) {
        heads.push_back(call.substr(0, call.find(" -> ")));
    }
    return heads;
}

class NightLoweringPageTest : public SheetFixture {
protected:
    CNodePage& Page() {
        if (!sheet) {
            Open();
        }
        return sheet->nightLowering1;
    }

    // Shows the page anew (hiding it first when it is visible) with NV 44 holding selector.
    CNodePage& ShowPage(int selector = 0) {
        CNodePage& page = Page();
        sheet->SetActivePage(0);
        node.SetSelector(selector);
        return Show(page);
    }

    void SetFlags(std::uint8_t byte2) {
        Bytes part1 = PartBytes(node.Part(1));
        part1[2] = byte2;
        node.SetPart(1, part1);
    }

    void SetWord(int part, int offset, int word) {
        Bytes bytes = PartBytes(node.Part(part));
        bytes[offset] = static_cast<std::uint8_t>(word >> 8);
        bytes[offset + 1] = static_cast<std::uint8_t>(word);
        node.SetPart(part, bytes);
    }

    // "1" or "0" for check boxes 268, 269, 272, and for whether 269, the room edits 270 and 271
    // and the summer edits 273 and 274 are enabled ("-" where a pair differs).
    static std::string Checks(const CNodePage& page) {
        std::string marks;
        for (int id : {kNightLowering, kRoomStartStop, kSummerStop}) {
            marks += page.IsDlgButtonChecked(id) == 1 ? '1' : '0';
        }
        return marks;
    }
    static std::string Enabled(const CNodePage& page) {
        std::string marks;
        const std::vector<int> groups[] = {{kRoomStartStop},
                                           {kRoomSetPoint, kRoomTemperature},
                                           {kSummerStopTemperature, kPumpStopDelay}};
        for (const std::vector<int>& group : groups) {
            const bool first = page.IsDlgItemEnabled(group.front());
            const bool same = page.IsDlgItemEnabled(group.back()) == first;
            marks += !same ? '-' : first ? '1' : '0';
        }
        return marks;
    }
};

TEST_F(NightLoweringPageTest, ShowRefreshesThenReadsParts1_3_4With200msPauses) {
    const struct {
        int selector;
        std::vector<std::string> calls;
    } cases[] = {
        {0,
         {"ReadNv 6 32", "ReadNv 44 31", "WriteNv 44 00 01", "ReadNv 45 32", "WriteNv 44 00 03",
          "ReadNv 45 32", "WriteNv 44 00 04", "ReadNv 45 32"}},
        {1,
         {"ReadNv 6 32", "ReadNv 44 31", "ReadNv 45 32", "WriteNv 44 00 03", "ReadNv 45 32",
          "WriteNv 44 00 04", "ReadNv 45 32"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selector);
        Page();
        node.SetRaw(6, {0x08, 0x98});  // 22.00
        SetWord(3, 1, 0xFB1E);         // -12.5
        SetWord(4, 1, 0x0866);         // 21.5
        CNodePage& page = ShowPage(c.selector);
        EXPECT_EQ(Heads(calls), c.calls);
        EXPECT_EQ(desktop.Sleeps(), std::vector<int>(c.selector == 1 ? 4 : 6, 200));
        EXPECT_EQ(page.GetDlgItemText(kRoomTemperature), "22.0");
        EXPECT_EQ(page.GetDlgItemText(kSummerStopTemperature), "-12.5");
        EXPECT_EQ(page.GetDlgItemText(kRoomSetPoint), "21.5");
        EXPECT_TRUE(page.IsTimerRunning(1));
        EXPECT_EQ(node.Selector(), 4);

        node.SetRaw(6, {0xFF, 0xCE});
        Forget();
        page.DeliverTimer(1);
        EXPECT_EQ(Heads(calls), std::vector<std::string>{"ReadNv 6 32"});
        EXPECT_EQ(page.GetDlgItemText(kRoomTemperature), "-0.5");
    }
}

// Read shows each flag and runs its rule before the next: night lowering off with room
// start/stop on leaves "Start/stop after room temp" ticked but disabled with the room edits
// enabled. Showing the page runs the night rule once more, which clears it.
TEST_F(NightLoweringPageTest, FlagsAndTheirRulesOnReadAndOnShow) {
    const struct {
        std::uint8_t flags;
        const char* checksAfterRead;
        const char* enabledAfterRead;
        const char* checksAfterShow;
        const char* enabledAfterShow;
    } cases[] = {
        {0x00, "000", "000", "000", "000"}, {0x01, "100", "100", "100", "100"},
        {0x02, "010", "010", "000", "000"}, {0x03, "110", "110", "110", "110"},
        {0x04, "001", "001", "001", "001"}, {0x07, "111", "111", "111", "111"},
        {0xF8, "000", "000", "000", "000"}, {0xFA, "010", "010", "000", "000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        Page();
        SetFlags(c.flags);
        CNodePage& page = ShowPage();
        EXPECT_EQ(Checks(page), c.checksAfterShow);
        EXPECT_EQ(Enabled(page), c.enabledAfterShow);
        Click(page, res::common::kRead);
        EXPECT_EQ(Checks(page), c.checksAfterRead);
        EXPECT_EQ(Enabled(page), c.enabledAfterRead);
    }
}

TEST_F(NightLoweringPageTest, ClearingNightLoweringClearsRoomStartStopAndWriteStoresBoth) {
    Page();
    SetFlags(0xFF);
    CNodePage& page = ShowPage();
    ASSERT_EQ(Checks(page), "111");
    Forget();
    Click(page, kNightLowering);
    EXPECT_EQ(Checks(page), "001");
    EXPECT_EQ(Enabled(page), "001");
    Click(page, kSummerStop);
    EXPECT_EQ(Enabled(page), "000");
    Click(page, kNightLowering);
    EXPECT_EQ(Checks(page), "100");  // ticking it again does not tick room start/stop
    EXPECT_EQ(Enabled(page), "100");
    Click(page, kRoomStartStop);
    EXPECT_EQ(Enabled(page), "110");
    Click(page, kRoomStartStop);
    Click(page, kNightLowering);
    EXPECT_TRUE(calls.empty());  // the rules do not ask the node
    Click(page, res::common::kWrite);
    EXPECT_EQ(node.Part(1)[2], 0xF8);
}

// The pump stop time is kept in tenths and shown in whole seconds; a text equal to what is
// shown keeps the stored word.
TEST_F(NightLoweringPageTest, PumpStopTimeInTenthsKeepsItsTenthsUnlessRetyped) {
    const struct {
        int stored;
        const char* typed;  // nullptr: left as shown
        const char* shown;
        int written;
        const char* shownAfter;
    } cases[] = {
        {305, nullptr, "30", 305, "30"},
        {305, "30.5", "30", 305, "30"},
        {123, "30", "12", 300, "30"},
        {123, "30.5", "12", 305, "30"},
        {305, "31", "30", 310, "31"},
        {9, nullptr, "0", 9, "0"},
        {65535, nullptr, "6553", 65535, "6553"},
        {50, "abc", "5", 0, "0"},
        {50, "6553.6", "5", 0, "0"},
    };
    CNodePage& page = ShowPage();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        SetWord(3, 3, c.stored);
        Click(page, res::common::kRead);
        EXPECT_EQ(page.GetDlgItemText(kPumpStopDelay), c.shown);
        if (c.typed != nullptr) {
            page.SetDlgItemText(kPumpStopDelay, c.typed);
        }
        Click(page, res::common::kWrite);
        const host::PartImage part3 = node.Part(3);
        EXPECT_EQ(part3[3] * 256 + part3[4], c.written);
        EXPECT_EQ(page.GetDlgItemText(kPumpStopDelay), c.shownAfter);
    }
}

// Two rounds: the page's three flags set among cleared bits, then cleared among set bits.
// Write selects part 1 after asking, parts 3 and 4 without, each between two pauses, and ends
// with a Read that leaves NV 44 at part 4.
TEST_F(NightLoweringPageTest, WriteChangesOnlyThePagesBytesAndBitsInItsOrder) {
    CNodePage& page = ShowPage();
    for (const bool on : {true, false}) {
        SCOPED_TRACE(on ? "flags on" : "flags off");
        for (int p = 1; p <= nv::kPartCount; ++p) {
            node.SetPart(p, Pattern(static_cast<std::uint8_t>(on ? 0x20 + p : 0xA0 + p)));
        }
        SetFlags(on ? 0xF8 : 0x07);
        std::vector<Bytes> before;
        for (int p = 1; p <= nv::kPartCount; ++p) {
            before.push_back(PartBytes(node.Part(p)));
        }
        for (int id : {kNightLowering, kRoomStartStop, kSummerStop}) {
            page.CheckDlgButton(id, on ? 1 : 0);
        }
        page.SetDlgItemText(kSummerStopTemperature, "-12.5");
        page.SetDlgItemText(kPumpStopDelay, "30.5");
        page.SetDlgItemText(kRoomSetPoint, "21.5");
        node.SetSelector(0);
        Forget();
        Click(page, res::common::kWrite);

        std::vector<Bytes> expected = before;
        expected[0][2] = on ? 0xFF : 0x00;
        expected[2][1] = 0xFB;
        expected[2][2] = 0x1E;
        expected[2][3] = 0x01;
        expected[2][4] = 0x31;
        expected[3][1] = 0x08;
        expected[3][2] = 0x66;
        for (int p = 1; p <= nv::kPartCount; ++p) {
            EXPECT_EQ(Hex(PartBytes(node.Part(p))), Hex(expected[p - 1])) << "part " << p;
        }
        std::vector<std::string> writes;
        for (const std::string& head : Heads(CallsOf("WriteNv"))) {
            writes.push_back(head.substr(0, 16));  // the index and the part number
        }
        EXPECT_EQ(writes, (std::vector<std::string>{
                              "WriteNv 44 00 01", "WriteNv 45 " + Hex(expected[0]).substr(0, 5),
                              "WriteNv 44 00 03", "WriteNv 45 " + Hex(expected[2]).substr(0, 5),
                              "WriteNv 44 00 04", "WriteNv 45 " + Hex(expected[3]).substr(0, 5),
                              "WriteNv 44 00 01", "WriteNv 44 00 03", "WriteNv 44 00 04"}));
        EXPECT_EQ(desktop.Sleeps(), std::vector<int>(12, 200));
        EXPECT_EQ(node.Selector(), 4);
        EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");
    }
}

// Neither a failed selection of part 1 nor the selections after it let anything reach NV 45;
// the controls keep what the user made of them.
TEST_F(NightLoweringPageTest, FailedSelectionWritesNothingAndKeepsTheControls) {
    CNodePage& page = ShowPage();
    std::vector<host::PartImage> before;
    for (int p = 1; p <= nv::kPartCount; ++p) {
        before.push_back(node.Part(p));
    }
    page.CheckDlgButton(kSummerStop, 1 - page.IsDlgButtonChecked(kSummerStop));
    const std::string checks = Checks(page);
    page.SetDlgItemText(kPumpStopDelay, "77");
    node.SetSelector(2);  // NV 45 shows another part
    node.FailWrite(nv::kPartSelector);
    Forget();
    Click(page, res::common::kWrite);
    EXPECT_TRUE(CallsOf("WriteNv 45").empty());
    EXPECT_TRUE(CallsOf("ReadNv 45").empty());
    for (int p = 1; p <= nv::kPartCount; ++p) {
        EXPECT_EQ(node.Part(p), before[p - 1]) << "part " << p;
    }
    EXPECT_EQ(Checks(page), checks);
    EXPECT_EQ(page.GetDlgItemText(kPumpStopDelay), "77");
    EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");
}

// The page of the same layout that no page set holds talks to nobody.
TEST_F(NightLoweringPageTest, PageWithoutNodeHasTheSameControlsAndNoBehaviour) {
    const auto& shown = platform::FindDialogTemplate(221).controls;
    const auto& unused = platform::FindDialogTemplate(222).controls;
    ASSERT_EQ(shown.size(), unused.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].id, unused[i].id);
        EXPECT_EQ(shown[i].kind, unused[i].kind);
        EXPECT_EQ(shown[i].text, unused[i].text);
        EXPECT_EQ(shown[i].group, unused[i].group);
        EXPECT_EQ(shown[i].unit, unused[i].unit);
    }
    Open();
    sheet->AddPage(&sheet->nightLowering2);
    CNodePage& page = Show(sheet->nightLowering2);
    EXPECT_FALSE(page.IsTimerRunning(1));
    for (int id : {kNightLowering, res::common::kRead, res::common::kWrite, kSummerStop}) {
        Click(page, id);
    }
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(desktop.Sleeps().empty());
    EXPECT_EQ(page.GetDlgItemText(res::common::kRead), "Read");
    EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");
    for (int id : {kRoomSetPoint, kRoomTemperature, kSummerStopTemperature, kPumpStopDelay}) {
        EXPECT_EQ(page.GetDlgItemText(id), "") << id;
        EXPECT_TRUE(page.IsDlgItemEnabled(id)) << id;
    }
}

}  // namespace
