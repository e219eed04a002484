// The Pressure page against the simulated node: the live pressure, the sensor type and
// supervision flags in byte 10 of part 1, the analog and digital rules, and the pressure words
// in bytes 1-10 of part 6; Write changes nothing else.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "PageBytes.h"
#include "SheetFixture.h"

namespace {

using host::Bytes;

constexpr int kAnalog = 224;
constexpr int kDigital = 225;
constexpr int kActual = 219;
// The edits the sensor rules enable and disable, then the words of part 6 in byte order.
constexpr int kRuled[] = {215, 216, 218, 213, 212, kActual};
constexpr int kWords[] = {215, 216, 218, 213, 212};
// The check boxes with their masks of byte 10.
constexpr struct {
    int id;
    std::uint8_t mask;
} kChecks[] = {{207, 0x04}, {209, 0x08}, {246, 0x10}, {248, 0x20}};

class PressurePageTest : public SheetFixture {
protected:
    PressurePage& ShowPage() {
        if (!sheet) {
            Open();
        }
        return Show(sheet->pressure);
    }

    // Part 1 as the pattern with byte 10 given.
    static Bytes Part1(std::uint8_t byte10) {
        Bytes part1 = Pattern(0x31);
        part1[10] = byte10;
        return part1;
    }

    // The marks of the radios 224, 225 and the check boxes, in that order.
    static std::vector<int> Marks(CNodePage& page) {
        std::vector<int> marks{page.IsDlgButtonChecked(kAnalog), page.IsDlgButtonChecked(kDigital)};
        for (const auto& check : kChecks) {
            marks.push_back(page.IsDlgButtonChecked(check.id));
        }
        return marks;
    }

    static std::vector<bool> RuledEnabled(CNodePage& page) {
        std::vector<bool> enabled;
        for (int id : kRuled) {
            enabled.push_back(page.IsDlgItemEnabled(id));
        }
        return enabled;
    }

    static void ExpectChecksEnabled(CNodePage& page) {
        for (const auto& check : kChecks) {
            EXPECT_TRUE(page.IsDlgItemEnabled(check.id)) << check.id;
        }
    }
};

TEST_F(PressurePageTest, ShowRefreshesThenReadsPart1AndPart6) {
    node.SetRaw(24, {0x11, 0x70});
    PressurePage& page = ShowPage();
    EXPECT_EQ(calls, (std::vector<std::string>{"ReadNv 24 32 -> 0", "ReadNv 44 31 -> 0",
                                               "WriteNv 44 00 01 -> 0", "ReadNv 45 32 -> 0",
                                               "WriteNv 44 00 06 -> 0", "ReadNv 45 32 -> 0"}));
    EXPECT_EQ(desktop.Sleeps(), (std::vector<int>{250, 250, 250, 250}));
    EXPECT_EQ(node.Selector(), 6);
    EXPECT_TRUE(page.IsTimerRunning(1));
    EXPECT_EQ(page.GetDlgItemText(kActual), "4464");
    // Factory values: digital sensor, range 0 to 10000, set points 2000.
    EXPECT_EQ(Marks(page), (std::vector<int>{0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(RuledEnabled(page), std::vector<bool>(6, false));
    const char* words[] = {"0", "10000", "0", "2000", "2000"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(page.GetDlgItemText(kWords[i]), words[i]) << kWords[i];
    }
}

// Read shows the masks of byte 10; a Write into a byte holding the opposite bits sends back
// only masks 0x3E from the controls and the other bits as the node holds them.
TEST_F(PressurePageTest, Byte10MasksAreShownAndOnlyMasks3EAreWritten) {
    PressurePage& page = ShowPage();
    for (const std::uint8_t byte10 : {0x02, 0x3C, 0xC1, 0xFF, 0x14, 0x28, 0x00}) {
        SCOPED_TRACE(static_cast<int>(byte10));
        node.SetPart(1, Part1(byte10));
        Click(page, 211);
        const bool analog = (byte10 & 0x02) != 0;
        std::vector<int> marks{analog ? 1 : 0, analog ? 0 : 1};
        for (const auto& check : kChecks) {
            marks.push_back((byte10 & check.mask) != 0 ? 1 : 0);
        }
        EXPECT_EQ(Marks(page), marks);
        EXPECT_EQ(RuledEnabled(page), std::vector<bool>(6, analog));
        ExpectChecksEnabled(page);

        node.SetPart(1, Part1(static_cast<std::uint8_t>(~byte10)));
        Click(page, 210);
        EXPECT_EQ(PartBytes(node.Part(1)),
                  Part1(static_cast<std::uint8_t>((~byte10 & ~0x3E) | (byte10 & 0x3E))));
    }
}

TEST_F(PressurePageTest, SensorRadiosRunTheirRulesAndTheDisabledLiveEditIsStillRefreshed) {
    PressurePage& page = ShowPage();
    Forget();
    Click(page, kAnalog);
    EXPECT_EQ(page.IsDlgButtonChecked(kDigital), 0);
    EXPECT_EQ(RuledEnabled(page), std::vector<bool>(6, true));
    Click(page, kDigital);
    EXPECT_EQ(page.IsDlgButtonChecked(kAnalog), 0);
    EXPECT_EQ(RuledEnabled(page), std::vector<bool>(6, false));
    ExpectChecksEnabled(page);
    EXPECT_TRUE(calls.empty());

    node.SetRaw(24, {0xFF, 0xFF});
    page.DeliverTimer(1);
    EXPECT_EQ(page.GetDlgItemText(kActual), "65535");
    EXPECT_EQ(calls, (std::vector<std::string>{"ReadNv 24 32 -> 0"}));
}

// Typed pressures are stored as 16-bit words with wrap, also from disabled edits; part 1 is
// written before part 6 and only bytes 1-10 of part 6 change.
TEST_F(PressurePageTest, WordsAreStoredModulo65536IntoBytes1To10OfPart6Only) {
    PressurePage& page = ShowPage();
    Click(page, kDigital);
    const struct {
        const char* typed;
        int word;
        const char* readBack;
    } cases[] = {{"70000", 4464, "4464"}, {"-1", 65535, "65535"}, {"12abc", 12, "12"},
                 {"abc", 0, "0"},         {" 250.7", 250, "250"}, {"65535.9", 65535, "65535"},
                 {"-65535", 1, "1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        for (int p = 1; p <= nv::kPartCount; ++p) {
            node.SetPart(p, Pattern(static_cast<std::uint8_t>(0x0D * p)));
        }
        for (int id : kWords) {
            page.SetDlgItemText(id, c.typed);
        }
        Forget();
        Click(page, 210);

        Bytes expected1 = Pattern(0x0D);
        expected1[10] = static_cast<std::uint8_t>(expected1[10] & ~0x3E);  // digital, no checks
        Bytes expected6 = Pattern(0x4E);
        for (int at = 1; at <= 9; at += 2) {
            expected6[at] = static_cast<std::uint8_t>(c.word >> 8);
            expected6[at + 1] = static_cast<std::uint8_t>(c.word);
        }
        for (int p = 1; p <= nv::kPartCount; ++p) {
            const Bytes expected = p == 1   ? expected1
                                   : p == 6 ? expected6
                                            : Pattern(static_cast<std::uint8_t>(0x0D * p));
            EXPECT_EQ(PartBytes(node.Part(p)), expected) << "part " << p;
        }
        ASSERT_GE(calls.size(), 7u);
        EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 7),
                  (std::vector<std::string>{
                      "ReadNv 44 31 -> 0", "WriteNv 44 00 01 -> 0", "ReadNv 45 32 -> 0",
                      "WriteNv 45 " + Hex(expected1) + " -> 0", "WriteNv 44 00 06 -> 0",
                      "ReadNv 45 32 -> 0", "WriteNv 45 " + Hex(expected6) + " -> 0"}));
        EXPECT_EQ(CallsOf("WriteNv 45").size(), 2u);
        EXPECT_EQ(node.Selector(), 6);
        for (int id : kWords) {
            EXPECT_EQ(page.GetDlgItemText(id), c.readBack) << id;
        }
    }
}

// Controls never filled from the node nor touched keep the node's bytes: the empty edits are
// no zeros and the unmarked radios no digital sensor.
TEST_F(PressurePageTest, NothingFilledOnShowKeepsTheNodesBytes) {
    Open();
    node.FailRead(nv::kPluginCnf);
    PressurePage& page = ShowPage();
    ASSERT_EQ(Marks(page), (std::vector<int>{0, 0, 0, 0, 0, 0}));
    node.Heal();
    node.SetPart(1, Part1(0xFF));
    const host::PartImage part6 = node.Part(6);
    Click(page, 210);
    EXPECT_EQ(node.Part(1)[10], 0xFF);
    EXPECT_EQ(node.Part(6), part6);
    EXPECT_EQ(page.IsDlgButtonChecked(kAnalog), 1);
}

TEST_F(PressurePageTest, FailedPartSelectionWritesNothingAndKeepsTheControls) {
    PressurePage& page = ShowPage();
    const host::PartImage part1 = node.Part(1);
    const host::PartImage part6 = node.Part(6);
    Click(page, kAnalog);
    Click(page, 207);
    page.SetDlgItemText(213, "1500");
    node.FailWrite(44);
    Forget();
    Click(page, 210);
    EXPECT_TRUE(CallsOf("ReadNv 45").empty());
    EXPECT_TRUE(CallsOf("WriteNv 45").empty());
    EXPECT_EQ(node.Part(1), part1);
    EXPECT_EQ(node.Part(6), part6);
    EXPECT_EQ(Marks(page), (std::vector<int>{1, 0, 1, 0, 0, 0}));
    EXPECT_EQ(page.GetDlgItemText(213), "1500");
    EXPECT_EQ(RuledEnabled(page), std::vector<bool>(6, true));
    EXPECT_EQ(page.GetDlgItemText(210), "Write");
    EXPECT_EQ(page.GetDlgItemText(211), "Read");
}

}  // namespace
