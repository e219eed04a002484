// A part selection that fails leaves NV 45 on the part selected before: a page must then
// neither show that part's bytes as its own nor write its fields into it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SheetFixture.h"

namespace {

struct PageCase {
    const char* name;
    CNodePage& (*page)(CSheet&);
};

void PrintTo(const PageCase& c, std::ostream* os) {
    *os << c.name;
}

// Every page family that uses the part window.
const PageCase kPages[] = {
    {"AnalogValve", [](CSheet& s) -> CNodePage& { return s.analogValves1; }},
    {"Antifrost", [](CSheet& s) -> CNodePage& { return s.antifrost1; }},
    {"Temperatures", [](CSheet& s) -> CNodePage& { return s.temperatures2; }},
    {"SettingsTemperatures", [](CSheet& s) -> CNodePage& { return s.constantTemperatures; }},
    {"NightLowering", [](CSheet& s) -> CNodePage& { return s.nightLowering1; }},
    {"Exercise", [](CSheet& s) -> CNodePage& { return s.exercise1; }},
    {"Pid", [](CSheet& s) -> CNodePage& { return s.pidMv2; }},
    {"Outdoor", [](CSheet& s) -> CNodePage& { return s.outdoorTemperatures; }},
    {"Pressure", [](CSheet& s) -> CNodePage& { return s.pressure; }},
};

class PartSelectionTest : public SheetFixture, public ::testing::WithParamInterface<PageCase> {
protected:
    // Every control's text and mark.
    static std::vector<std::string> Texts(const CNodePage& page) {
        std::vector<std::string> texts;
        for (const platform::ControlState& control : page.Controls()) {
            texts.push_back(std::to_string(control.id) + "=" + control.text + "/" +
                            std::to_string(control.checked));
        }
        return texts;
    }
};

TEST_P(PartSelectionTest, FailedSelectionReadsAndWritesNoPart) {
    // NV 45 shows part 12, a part none of these pages uses, filled with a pattern.
    host::Bytes pattern(nv::kPartSize);
    for (int i = 0; i < nv::kPartSize; ++i) {
        pattern[i] = static_cast<std::uint8_t>(0x81 + 3 * i);
    }
    node.SetPart(12, pattern);
    Open();
    node.SetSelector(12);
    node.FailWrite(nv::kPartSelector);

    CNodePage& page = Show(GetParam().page(*sheet));
    EXPECT_EQ(CallsOf("ReadNv 45"), std::vector<std::string>{});
    const std::vector<std::string> before = Texts(page);

    page.SetDlgItemText(226, "Quorka");  // the PID pages' password
    Click(page, 211);
    Click(page, 210);
    EXPECT_EQ(CallsOf("ReadNv 45"), std::vector<std::string>{});
    EXPECT_EQ(CallsOf("WriteNv 45"), std::vector<std::string>{});
    const host::PartImage after = node.Part(12);
    EXPECT_EQ(host::Bytes(after.begin(), after.end()), pattern);
    // Nothing of part 12 reached the controls.
    page.SetDlgItemText(226, "");
    EXPECT_EQ(Texts(page), before);
}

INSTANTIATE_TEST_SUITE_P(Pages, PartSelectionTest, ::testing::ValuesIn(kPages),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
