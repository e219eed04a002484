// The status switch pages of Sw1 and Sw2 on the simulated node: live switch position and unit
// mode texts, the override code shown and written, and the locking of the override radios while
// the switch stands at Off.
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "SheetFixture.h"
#include "platform/DialogTemplate.h"

namespace {

constexpr int kSwitchPosition = 301;
constexpr int kUnitMode = 202;
// The override radios in the order Boost, Night, Day, Off, Auto, Occupied, manual switch.
const std::vector<int> kRadios = {328, 335, 336, 337, 338, 339, 340};
constexpr int kManualSwitch = 340;

struct SwitchCase {
    const char* name;
    CNodePage& (*page)(CSheet&);
    int dialogId;
    const char* label;
    int switchNv;
    int unitNv;
    int overrideNv;
    int otherOverrideNv;
};

void PrintTo(const SwitchCase& c, std::ostream* os) {
    *os << c.name;
}

const SwitchCase kSwitches[] = {
    {"Sw1", [](CSheet& s) -> CNodePage& { return s.statusSwitchSw1; }, 208, "Rotary switch (Sw1)",
     16, 22, 39, 40},
    {"Sw2", [](CSheet& s) -> CNodePage& { return s.statusSwitchSw2; }, 209, "Rotary switch (Sw2)",
     17, 23, 40, 39},
};

host::Bytes Word(int value) {
    return {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

class StatusSwitchPageTest : public SheetFixture, public ::testing::WithParamInterface<SwitchCase> {
protected:
    CNodePage& ShowSwitch() {
        Open();
        return Show(GetParam().page(*sheet));
    }

    // The index of the one marked radio; -1 when none or more than one is marked.
    int MarkedRadio(CNodePage& page) const {
        int found = -1;
        for (std::size_t i = 0; i < kRadios.size(); ++i) {
            if (page.IsDlgButtonChecked(kRadios[i]) == 1) {
                if (found >= 0) {
                    return -1;
                }
                found = static_cast<int>(i);
            }
        }
        return found;
    }

    // 1 when all seven radios are enabled, 0 when all are disabled, -1 when mixed.
    int RadiosEnabled(CNodePage& page) const {
        int enabled = 0;
        for (int id : kRadios) {
            enabled += page.IsDlgItemEnabled(id) ? 1 : 0;
        }
        return enabled == 7 ? 1 : enabled == 0 ? 0 : -1;
    }
};

TEST_P(StatusSwitchPageTest, ShowRefreshesEnablesAndReadsTheOverride) {
    node.SetRaw(GetParam().overrideNv, Word(3));
    ShowSwitch();
    const std::string sw = "ReadNv " + std::to_string(GetParam().switchNv) + " 32 -> 0";
    const std::string unit = "ReadNv " + std::to_string(GetParam().unitNv) + " 32 -> 0";
    const std::string code = "ReadNv " + std::to_string(GetParam().overrideNv);
    EXPECT_EQ(calls,
              (std::vector<std::string>{sw, unit, code + " 32 -> 0", sw, code + " 31 -> 0"}));
    // The position edit names the page's switch.
    EXPECT_EQ(platform::FindDialogTemplate(GetParam().dialogId).controls.at(0).text,
              GetParam().label);
}

TEST_P(StatusSwitchPageTest, SwitchPositionTexts) {
    CNodePage& page = ShowSwitch();
    const struct {
        int position;
        const char* text;
    } cases[] = {{0, "??"},       {1, "Boost"},     {2, "Night"}, {3, "Day"},     {4, "Off"},
                 {5, "Calender"}, {6, "Occupancy"}, {7, "??"},    {0x0104, "??"}, {0xFFFF, "??"}};
    for (const auto& c : cases) {
        node.SetRaw(GetParam().switchNv, Word(c.position));
        page.DeliverTimer(1);
        EXPECT_EQ(page.GetDlgItemText(kSwitchPosition), c.text) << c.position;
    }
}

TEST_P(StatusSwitchPageTest, UnitModeTextsTakeByteZeroAsSigned) {
    CNodePage& page = ShowSwitch();
    const struct {
        int mode;
        const char* text;
    } cases[] = {{0, "Auto"},
                 {1, "Heating"},
                 {2, "Morning warm-up"},
                 {3, "Cooling"},
                 {4, "Night purge"},
                 {5, "Pre-cool"},
                 {6, "Off"},
                 {7, "Test"},
                 {8, "Emergency heat"},
                 {9, "Fan only"},
                 {10, "Free cooling"},
                 {11, "Ice-making"},
                 {12, "Max heating"},
                 {13, "Economic heat/cool"},
                 {14, "Dehumidification"},
                 {15, "??"},
                 {0x7F, "??"},
                 {0x80, "??"},
                 {0xFF, "??"}};
    for (const auto& c : cases) {
        node.SetRaw(GetParam().unitNv, {static_cast<std::uint8_t>(c.mode), 0x05});
        page.DeliverTimer(1);
        EXPECT_EQ(page.GetDlgItemText(kUnitMode), c.text) << c.mode;
    }
}

TEST_P(StatusSwitchPageTest, OverrideCodeSelectsItsRadio) {
    CNodePage& page = ShowSwitch();
    const struct {
        int code;
        int radio;
    } cases[] = {{1, 0}, {2, 1}, {3, 2},   {4, 3},      {5, 4},     {6, 5},
                 {0, 6}, {7, 6}, {255, 6}, {0x0101, 6}, {0x0105, 6}};
    for (const auto& c : cases) {
        node.SetRaw(GetParam().overrideNv, Word(c.code));
        Click(page, 211);
        EXPECT_EQ(MarkedRadio(page), c.radio) << c.code;
        EXPECT_EQ(page.GetDlgItemText(211), "Read");
    }
}

TEST_P(StatusSwitchPageTest, ClickedRadioIsWrittenAsItsCodeThenReadBack) {
    CNodePage& page = ShowSwitch();
    node.SetRaw(GetParam().otherOverrideNv, Word(0x1234));
    const int codes[] = {1, 2, 3, 4, 5, 6, 255};
    for (std::size_t i = 0; i < kRadios.size(); ++i) {
        Click(page, kRadios[i]);
        EXPECT_EQ(MarkedRadio(page), static_cast<int>(i));
        Forget();
        Click(page, 210);
        EXPECT_EQ(node.Raw(GetParam().overrideNv), Word(codes[i])) << codes[i];
        EXPECT_EQ(node.Raw(GetParam().otherOverrideNv), Word(0x1234));
        char written[32];
        std::snprintf(written, sizeof written, "WriteNv %d %02X %02X -> 0", GetParam().overrideNv,
                      codes[i] >> 8, codes[i] & 0xFF);
        const std::string code = "ReadNv " + std::to_string(GetParam().overrideNv);
        EXPECT_EQ(calls, (std::vector<std::string>{code + " 32 -> 0", written, code + " 31 -> 0"}));
        EXPECT_EQ(MarkedRadio(page), static_cast<int>(i));
        EXPECT_EQ(page.GetDlgItemText(210), "Write");
    }
}

TEST_P(StatusSwitchPageTest, NoRadioMarkedWritesZeroWhichReadsAsTheManualSwitch) {
    node.SetRaw(GetParam().overrideNv, Word(2));
    node.FailRead(GetParam().overrideNv);
    CNodePage& page = ShowSwitch();
    EXPECT_EQ(MarkedRadio(page), -1);
    EXPECT_EQ(page.IsDlgButtonChecked(kRadios[0]), 0);
    node.Heal();
    Click(page, 210);
    EXPECT_EQ(node.Raw(GetParam().overrideNv), Word(0));
    EXPECT_EQ(MarkedRadio(page), 6);
}

TEST_P(StatusSwitchPageTest, FailedGateReadWritesNothingButStillReads) {
    CNodePage& page = ShowSwitch();
    node.SetRaw(GetParam().overrideNv, Word(5));
    Click(page, 328);
    node.FailRead(GetParam().overrideNv);
    Forget();
    Click(page, 210);
    EXPECT_TRUE(CallsOf("WriteNv").empty());
    EXPECT_EQ(node.Raw(GetParam().overrideNv), Word(5));
    const std::string code = "ReadNv " + std::to_string(GetParam().overrideNv);
    EXPECT_EQ(calls, (std::vector<std::string>{code + " 32 -> 1", code + " 31 -> 1"}));
    EXPECT_EQ(MarkedRadio(page), 0);  // the failed Read leaves the radios
    EXPECT_EQ(page.GetDlgItemText(210), "Write");
    EXPECT_EQ(page.GetDlgItemText(211), "Read");
    EXPECT_TRUE(desktop.Messages().empty());
}

// While the switch stands at Off the override cannot be changed, unless the override is Off;
// then, and when the override cannot be read, the radios keep their state.
TEST_P(StatusSwitchPageTest, RadiosAreLockedWhileTheSwitchIsAtOff) {
    node.SetRaw(GetParam().switchNv, Word(4));
    node.SetRaw(GetParam().overrideNv, Word(2));
    CNodePage& page = ShowSwitch();
    EXPECT_EQ(RadiosEnabled(page), 0);

    const struct {
        const char* step;
        int position;
        int code;
        bool failOverride;
        bool failSwitch;
        int enabled;
    } steps[] = {
        {"switch leaves Off", 3, 2, false, false, 1},
        {"override Off keeps them enabled", 4, 4, false, false, 1},
        {"switch at Off locks", 4, 255, false, false, 0},
        {"override Off keeps them disabled", 4, 4, false, false, 0},
        {"still locked while override is Off", 3, 4, false, false, 0},
        {"unreadable override keeps them", 3, 1, true, false, 0},
        {"switch leaves Off with override Boost", 3, 1, false, false, 1},
        {"unknown override code 0 locks too", 4, 0, false, false, 0},
        {"unreadable switch enables", 4, 0, false, true, 1},
    };
    for (const auto& s : steps) {
        node.Heal();
        node.SetRaw(GetParam().switchNv, Word(s.position));
        node.SetRaw(GetParam().overrideNv, Word(s.code));
        if (s.failOverride) {
            node.FailRead(GetParam().overrideNv);
        }
        if (s.failSwitch) {
            node.FailRead(GetParam().switchNv);
        }
        page.DeliverTimer(1);
        EXPECT_EQ(RadiosEnabled(page), s.enabled) << s.step;
    }
}

TEST_P(StatusSwitchPageTest, LockedRadiosCannotBeClicked) {
    node.SetRaw(GetParam().switchNv, Word(4));
    node.SetRaw(GetParam().overrideNv, Word(2));
    CNodePage& page = ShowSwitch();
    EXPECT_FALSE(page.ClickDlgItem(kManualSwitch));
    EXPECT_EQ(MarkedRadio(page), 1);
}

INSTANTIATE_TEST_SUITE_P(Switches, StatusSwitchPageTest, ::testing::ValuesIn(kSwitches),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
