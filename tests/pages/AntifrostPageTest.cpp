// The Antifrost pages against the simulated node: the circuit-1 page's live values, its flag in
// part 1 and temperatures in part 2, the enabling rule, and that Write changes only its own
// bits and bytes; the circuit-2 page, which has no link to the node.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "PageBytes.h"
#include "SheetFixture.h"
#include "platform/DialogTemplate.h"

namespace {

using host::Bytes;

constexpr int kAntifrost = 209;
constexpr int kStart = 424;
constexpr int kStop = 422;
constexpr int kReturn = 426;
constexpr int kOutdoor = 213;
constexpr int kStatus = 212;
constexpr int kEnabledByFlag[] = {kStart, kStop, kReturn, kOutdoor, kStatus};

void PutWord(Bytes& bytes, int at, int word) {
    bytes[at] = static_cast<std::uint8_t>(word >> 8);
    bytes[at + 1] = static_cast<std::uint8_t>(word);
}

class AntifrostPageTest : public SheetFixture {
protected:
    AntifrostPage& ShowPage() {
        Open();
        return Show(sheet->antifrost1);
    }

    // Part 1 with only the frost-protection flag set or cleared in byte 2.
    void SetFlag(bool on) {
        Bytes part1 = PartBytes(node.Part(1));
        part1[2] = static_cast<std::uint8_t>(on ? part1[2] | 0x08 : part1[2] & ~0x08);
        node.SetPart(1, part1);
    }

    std::vector<bool> EnabledByFlag(CNodePage& page) const {
        std::vector<bool> enabled;
        for (int id : kEnabledByFlag) {
            enabled.push_back(page.IsDlgItemEnabled(id));
        }
        return enabled;
    }
};

TEST_F(AntifrostPageTest, ShowRefreshesReadsPart1ThenPart2AndTicksOnlyRefresh) {
    node.SetRaw(13, {0xFE, 0x0C});  // -5.00
    node.SetRaw(35, {0x40, 0x00});
    Bytes part2(31, 0);
    PutWord(part2, 19, 0xFF38);  // -2.00
    PutWord(part2, 21, 350);
    PutWord(part2, 27, 1234);
    node.SetPart(2, part2);
    AntifrostPage& page = ShowPage();

    EXPECT_EQ(calls, (std::vector<std::string>{"ReadNv 13 32 -> 0", "ReadNv 35 32 -> 0",
                                               "ReadNv 44 31 -> 0", "WriteNv 44 00 01 -> 0",
                                               "ReadNv 45 32 -> 0", "WriteNv 44 00 02 -> 0",
                                               "ReadNv 45 32 -> 0"}));
    EXPECT_EQ(desktop.Sleeps(), (std::vector<int>{250, 250, 250, 250}));
    EXPECT_EQ(node.Selector(), 2);
    EXPECT_EQ(page.IsDlgButtonChecked(kAntifrost), 1);  // factory part 1
    EXPECT_EQ(page.GetDlgItemText(kOutdoor), "-5.0");
    EXPECT_EQ(page.GetDlgItemText(kStatus), "Heat");
    EXPECT_EQ(page.GetDlgItemText(kStart), "-2.0");
    EXPECT_EQ(page.GetDlgItemText(kStop), "3.5");
    EXPECT_EQ(page.GetDlgItemText(kReturn), "12.3");
    EXPECT_EQ(page.GetDlgItemText(211), "Read");
    EXPECT_TRUE(page.IsTimerRunning(1));

    page.SetDlgItemText(kStart, "7");
    Forget();
    page.DeliverTimer(1);
    EXPECT_EQ(calls, (std::vector<std::string>{"ReadNv 13 32 -> 0", "ReadNv 35 32 -> 0"}));
    EXPECT_EQ(page.GetDlgItemText(kStart), "7");
}

// Mask 0x40 of NV 35 byte 0 alone decides the state; each live read runs on its own.
TEST_F(AntifrostPageTest, LiveStateIsMask40OfByte0AndAFailedReadKeepsOnlyItsEdit) {
    AntifrostPage& page = ShowPage();
    const struct {
        Bytes flags;
        const char* shown;
    } cases[] = {{{0x40, 0x00}, "Heat"},
                 {{0xBF, 0xFF}, "Off"},
                 {{0xFF, 0x00}, "Heat"},
                 {{0x00, 0x40}, "Off"}};
    for (const auto& c : cases) {
        node.SetRaw(35, c.flags);
        page.DeliverTimer(1);
        EXPECT_EQ(page.GetDlgItemText(kStatus), c.shown) << Hex(c.flags);
    }
    node.SetRaw(13, {0x03, 0xE8});
    page.DeliverTimer(1);
    node.SetRaw(13, {0x00, 0x00});
    node.FailRead(13);
    node.SetRaw(35, {0x40, 0x00});
    page.DeliverTimer(1);
    EXPECT_EQ(page.GetDlgItemText(kOutdoor), "10.0");
    EXPECT_EQ(page.GetDlgItemText(kStatus), "Heat");
}

TEST_F(AntifrostPageTest, FlagEnablesTheFiveEditsOnReadAndOnClickWithoutTouchingTheNode) {
    AntifrostPage& page = ShowPage();
    for (const bool on : {false, true}) {
        SetFlag(on);
        Click(page, 211);
        EXPECT_EQ(page.IsDlgButtonChecked(kAntifrost), on ? 1 : 0);
        EXPECT_EQ(EnabledByFlag(page), std::vector<bool>(5, on));
    }
    Forget();
    Click(page, kAntifrost);
    EXPECT_EQ(EnabledByFlag(page), std::vector<bool>(5, false));
    Click(page, kAntifrost);
    EXPECT_EQ(EnabledByFlag(page), std::vector<bool>(5, true));
    EXPECT_TRUE(calls.empty());
}

// Typed temperatures are stored as signed hundredths, truncated, also from disabled edits, and
// shown again by the Read that ends the Write.
TEST_F(AntifrostPageTest, TemperaturesAreStoredAsHundredthsEvenWhileDisabled) {
    SetFlag(false);
    AntifrostPage& page = ShowPage();
    ASSERT_EQ(EnabledByFlag(page), std::vector<bool>(5, false));
    const struct {
        const char* typed;
        int word;
        const char* readBack;
    } cases[] = {{"-5", 0xFE0C, "-5.0"},      {"120", 0x2EE0, "-535.4"}, {"12abc", 0x04B0, "12.0"},
                 {"abc", 0x0000, "0.0"},      {" 4.567", 0x01C8, "4.6"}, {"100", 0x2710, "100.0"},
                 {"100.01", 0x2711, "-555.4"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        for (int id : {kStart, kStop, kReturn}) {
            page.SetDlgItemText(id, c.typed);
        }
        Click(page, 210);
        const host::PartImage part2 = node.Part(2);
        for (int at : {19, 21, 27}) {
            EXPECT_EQ(part2[at] << 8 | part2[at + 1], c.word) << "byte " << at;
        }
        for (int id : {kStart, kStop, kReturn}) {
            EXPECT_EQ(page.GetDlgItemText(id), c.readBack) << id;
        }
    }
}

// Two rounds: the flag cleared in a byte with every bit set, and set in a byte with none.
TEST_F(AntifrostPageTest, WriteChangesOnlyMask08OfPart1Byte2AndItsWordsOfPart2InOrder) {
    AntifrostPage& page = ShowPage();
    for (const bool on : {false, true}) {
        SCOPED_TRACE(on ? "on" : "off");
        for (int p = 1; p <= nv::kPartCount; ++p) {
            node.SetPart(p, Pattern(static_cast<std::uint8_t>(on ? 0x10 * p : 0xF0 - p)));
        }
        Bytes part1 = Pattern(on ? 0x10 : 0xEF);
        part1[2] = on ? 0x00 : 0xFF;
        node.SetPart(1, part1);
        std::vector<host::PartImage> before;
        for (int p = 1; p <= nv::kPartCount; ++p) {
            before.push_back(node.Part(p));
        }
        page.CheckDlgButton(kAntifrost, on ? 1 : 0);
        page.SetDlgItemText(kStart, "-5");
        page.SetDlgItemText(kStop, "3.5");
        page.SetDlgItemText(kReturn, "20");
        Forget();
        Click(page, 210);

        Bytes expected1 = part1;
        expected1[2] = on ? 0x08 : 0xF7;
        Bytes expected2 = PartBytes(before[1]);
        PutWord(expected2, 19, 0xFE0C);
        PutWord(expected2, 21, 350);
        PutWord(expected2, 27, 2000);
        EXPECT_EQ(PartBytes(node.Part(1)), expected1);
        EXPECT_EQ(PartBytes(node.Part(2)), expected2);
        for (int p = 3; p <= nv::kPartCount; ++p) {
            EXPECT_EQ(node.Part(p), before[p - 1]) << "part " << p;
        }
        ASSERT_GE(calls.size(), 7u);
        const std::vector<std::string> written(calls.begin(), calls.begin() + 7);
        EXPECT_EQ(written, (std::vector<std::string>{
                               "ReadNv 44 31 -> 0", "WriteNv 44 00 01 -> 0", "ReadNv 45 31 -> 0",
                               "WriteNv 45 " + Hex(expected1) + " -> 0", "WriteNv 44 00 02 -> 0",
                               "ReadNv 45 31 -> 0", "WriteNv 45 " + Hex(expected2) + " -> 0"}));
        EXPECT_EQ(CallsOf("WriteNv 45").size(), 2u);  // the closing Read writes nothing
        EXPECT_EQ(node.Selector(), 2);
        EXPECT_EQ(page.GetDlgItemText(210), "Write");
    }
}

TEST_F(AntifrostPageTest, FailedPartSelectionWritesNothingAndKeepsTheControls) {
    AntifrostPage& page = ShowPage();
    const host::PartImage part1 = node.Part(1);
    const host::PartImage part2 = node.Part(2);
    Click(page, kAntifrost);
    page.SetDlgItemText(kStart, "-7");
    node.FailWrite(44);
    Forget();
    Click(page, 210);
    EXPECT_TRUE(CallsOf("WriteNv 45").empty());
    EXPECT_TRUE(CallsOf("ReadNv 45").empty());
    EXPECT_EQ(node.Part(1), part1);
    EXPECT_EQ(node.Part(2), part2);
    EXPECT_EQ(page.IsDlgButtonChecked(kAntifrost), 0);
    EXPECT_EQ(page.GetDlgItemText(kStart), "-7");
    EXPECT_EQ(page.GetDlgItemText(210), "Write");
    EXPECT_EQ(page.GetDlgItemText(211), "Read");
    EXPECT_TRUE(desktop.Messages().empty());
}

// The circuit-2 page is in neither page set; the test adds it to the open sheet.
TEST_F(AntifrostPageTest, Circuit2PageOnlyRestoresItsButtonTexts) {
    Open();
    sheet->AddPage(&sheet->antifrost2);
    Antifrost2Page& page = Show(sheet->antifrost2);
    EXPECT_FALSE(page.IsTimerRunning(1));
    Click(page, 211);
    Click(page, 210);
    Click(page, kAntifrost);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(page.GetDlgItemText(211), "Read");
    EXPECT_EQ(page.GetDlgItemText(210), "Write");
    for (int id : kEnabledByFlag) {
        EXPECT_EQ(page.GetDlgItemText(id), "") << id;
        EXPECT_TRUE(page.IsDlgItemEnabled(id)) << id;
    }
}

TEST(AntifrostDialogTest, TwinsDifferOnlyInTheReturnSensor) {
    const struct {
        int dialog;
        const char* returnLabel;
    } twins[] = {{216, "Return temp\nheating surface (Bw2)"},
                 {217, "Return temp\nheating surface (Bw4)"}};
    for (const auto& twin : twins) {
        const platform::DialogTemplate& dialog = platform::FindDialogTemplate(twin.dialog);
        std::vector<int> ids;
        for (const platform::ControlTemplate& control : dialog.controls) {
            ids.push_back(control.id);
            EXPECT_EQ(control.group, "Antifrost") << control.id;
            if (control.id == kReturn) {
                EXPECT_EQ(control.text, twin.returnLabel);
            }
            if (control.id == kAntifrost) {
                EXPECT_EQ(control.text, "Antifrost" + std::string(21, ' '));
            }
        }
        EXPECT_EQ(ids, (std::vector<int>{kAntifrost, kStart, kStop, kReturn, kOutdoor, kStatus, 211,
                                         210}));
    }
}

}  // namespace
