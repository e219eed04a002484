// The PID pages of valves Mv1 and Mv2 on the simulated node: P, I and D of part 8 shown and
// stored, the service password asked for each Write and emptied after every attempt, and a
// Write that changes only the page's six bytes of part 8.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "PageBytes.h"
#include "SheetFixture.h"
#include "platform/DialogTemplate.h"
#include "res/PidDialogs.h"

namespace {

using host::Bytes;
using namespace res::pid;

struct PidCase {
    const char* name;
    CNodePage& (*page)(CSheet&);
    int dialogId;
    int offset;  // P's first byte in part 8; I and D follow
    const char* row;
};

void PrintTo(const PidCase& c, std::ostream* os) {
    *os << c.name;
}

const PidCase kValves[] = {
    {"Mv1", [](CSheet& s) -> CNodePage& { return s.pidMv1; }, 225, 1, "Valve (Mv1)"},
    {"Mv2", [](CSheet& s) -> CNodePage& { return s.pidMv2; }, 226, 19, "Valve (Mv2)"},
};

class PidPageTest : public SheetFixture, public ::testing::WithParamInterface<PidCase> {
protected:
    // Shows the page with NV 44 at 0.
    CNodePage& ShowPage() {
        if (!sheet) {
            Open();
        }
        CNodePage& page = GetParam().page(*sheet);
        if (sheet->GetPageIndex(&page) < 0) {
            sheet->SetActivePage(0);
            sheet->nodeInfo.ClickDlgItem(235);  // "VI2"
        }
        node.SetSelector(0);
        return Show(page);
    }

    void SetTriple(int p, int i, int d) {
        Bytes part8 = PartBytes(node.Part(8));
        const int at = GetParam().offset;
        const int words[] = {p, i, d};
        for (int k = 0; k < 3; ++k) {
            part8[at + 2 * k] = static_cast<std::uint8_t>(words[k] >> 8);
            part8[at + 2 * k + 1] = static_cast<std::uint8_t>(words[k]);
        }
        node.SetPart(8, part8);
    }

    void WriteWithPassword(CNodePage& page, const char* password) {
        page.SetDlgItemText(kPassword, password);
        Click(page, res::common::kWrite);
    }
};

TEST_P(PidPageTest, ShowReadsPart8With31BytesAndStartsNoTimer) {
    SetTriple(0xFFFF, 0, 1234);
    CNodePage& page = ShowPage();
    EXPECT_EQ(calls, (std::vector<std::string>{"ReadNv 44 31 -> 0", "WriteNv 44 00 08 -> 0",
                                               "ReadNv 45 31 -> 0"}));
    EXPECT_EQ(desktop.Sleeps(), (std::vector<int>{250, 250}));
    EXPECT_FALSE(page.IsTimerRunning(1));
    EXPECT_EQ(page.GetDlgItemText(kP), "6553.5");
    EXPECT_EQ(page.GetDlgItemText(kI), "0");
    EXPECT_EQ(page.GetDlgItemText(kD), "1234");
    // The row label names the page's valve.
    const std::string row = GetParam().row;
    const auto& controls = platform::FindDialogTemplate(GetParam().dialogId).controls;
    EXPECT_TRUE(std::any_of(controls.begin(), controls.end(),
                            [&row](const auto& c) { return c.text == row; }));
}

// P in tenths, I and D whole; truncated toward zero, 16-bit wrap, no range check.
TEST_P(PidPageTest, TypedParametersAreStoredTruncatedAndShownAgain) {
    const struct {
        int id;
        int word;  // 0 P, 1 I, 2 D
        const char* typed;
        Bytes stored;
        const char* shown;
    } cases[] = {
        {kP, 0, "2.55", {0x00, 0x19}, "2.5"},      {kP, 0, "0.29", {0x00, 0x02}, "0.2"},
        {kP, 0, "6553.5", {0xFF, 0xFF}, "6553.5"}, {kP, 0, "-0.1", {0xFF, 0xFF}, "6553.5"},
        {kI, 1, "-1", {0xFF, 0xFF}, "65535"},      {kI, 1, "65536", {0x00, 0x00}, "0"},
        {kD, 2, "12abc", {0x00, 0x0C}, "12"},      {kD, 2, "abc", {0x00, 0x00}, "0"},
        {kD, 2, "99.9", {0x00, 0x63}, "99"},
    };
    CNodePage& page = ShowPage();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        SetTriple(0x1111, 0x2222, 0x3333);
        Click(page, res::common::kRead);
        page.SetDlgItemText(c.id, c.typed);
        WriteWithPassword(page, "Quorka");
        const host::PartImage part8 = node.Part(8);
        const int at = GetParam().offset + 2 * c.word;
        EXPECT_EQ(Hex({part8[at], part8[at + 1]}), Hex(c.stored));
        EXPECT_EQ(page.GetDlgItemText(c.id), c.shown);
        EXPECT_EQ(page.GetDlgItemText(kPassword), "");
        EXPECT_TRUE(desktop.Messages().empty());
    }
}

// Any text but the service password, letter case included, is refused without a host call;
// the password edit is emptied after every attempt, so a second Write needs it typed again.
TEST_P(PidPageTest, WriteNeedsThePasswordTypedForEachWrite) {
    CNodePage& page = ShowPage();
    const host::PartImage before = node.Part(8);
    page.SetDlgItemText(kP, "9");
    for (const char* wrong : {"", "quorka", "QUORKA", "Quorka ", " Quorka", "Quork"}) {
        SCOPED_TRACE(wrong);
        Forget();
        WriteWithPassword(page, wrong);
        EXPECT_TRUE(calls.empty());
        ASSERT_EQ(desktop.Messages().size(), 1u);
        EXPECT_EQ(desktop.Messages()[0].text, "Wrong Password");
        EXPECT_EQ(page.GetDlgItemText(kPassword), "");
        EXPECT_EQ(page.GetDlgItemText(kP), "9");
        EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");
        EXPECT_EQ(node.Part(8), before);
    }
    WriteWithPassword(page, "Quorka");
    EXPECT_EQ(node.Part(8)[GetParam().offset + 1], 90);
    EXPECT_EQ(page.GetDlgItemText(kPassword), "");

    page.SetDlgItemText(kP, "7");
    Forget();
    Click(page, res::common::kWrite);  // the password was not typed again
    EXPECT_TRUE(calls.empty());
    ASSERT_EQ(desktop.Messages().size(), 1u);
    EXPECT_EQ(desktop.Messages()[0].text, "Wrong Password");
    EXPECT_EQ(node.Part(8)[GetParam().offset + 1], 90);
}

// The read of the read-modify-write asks for 32 bytes, the write sends the part's 31; Read
// follows with 31.
TEST_P(PidPageTest, WriteChangesOnlyThePagesSixBytesOfPart8) {
    CNodePage& page = ShowPage();
    std::vector<Bytes> before;
    for (int p = 1; p <= nv::kPartCount; ++p) {
        node.SetPart(p, Pattern(static_cast<std::uint8_t>(0x30 + 16 * p)));
        before.push_back(PartBytes(node.Part(p)));
    }
    page.SetDlgItemText(kP, "12.3");
    page.SetDlgItemText(kI, "300");
    page.SetDlgItemText(kD, "-2");
    page.SetDlgItemText(kPassword, "Quorka");
    node.SetSelector(0);
    Forget();
    Click(page, res::common::kWrite);

    Bytes expected = before[7];
    const Bytes triple = {0x00, 0x7B, 0x01, 0x2C, 0xFF, 0xFE};
    std::copy(triple.begin(), triple.end(), expected.begin() + GetParam().offset);
    EXPECT_EQ(Hex(PartBytes(node.Part(8))), Hex(expected));
    for (int p = 1; p <= nv::kPartCount; ++p) {
        if (p != 8) {
            EXPECT_EQ(PartBytes(node.Part(p)), before[p - 1]) << "part " << p;
        }
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"ReadNv 44 31 -> 0", "WriteNv 44 00 08 -> 0",
                                               "ReadNv 45 32 -> 0",
                                               "WriteNv 45 " + Hex(expected) + " -> 0",
                                               "ReadNv 44 31 -> 0", "ReadNv 45 31 -> 0"}));
    EXPECT_EQ(desktop.Sleeps(), (std::vector<int>{250, 250}));
    EXPECT_EQ(page.GetDlgItemText(kP), "12.3");
    EXPECT_EQ(page.GetDlgItemText(kD), "65534");
}

// A Write whose selection of part 8 or whose read of it fails writes nothing to NV 45; the
// Read that follows fails the same way, so the edits keep the typed texts.
TEST_P(PidPageTest, FailedSelectionOrReadWritesNothing) {
    const struct {
        const char* name;
        void (host::SimNode::*fail)(int);
        int index;
    } cases[] = {{"selector write", &host::SimNode::FailWrite, nv::kPartSelector},
                 {"part read", &host::SimNode::FailRead, nv::kPluginCnf}};
    CNodePage& page = ShowPage();
    std::vector<host::PartImage> before;
    for (int p = 1; p <= nv::kPartCount; ++p) {
        before.push_back(node.Part(p));
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        node.Heal();
        node.SetSelector(3);  // NV 45 shows another part
        (node.*c.fail)(c.index);
        page.SetDlgItemText(kP, "4.4");
        page.SetDlgItemText(kI, "44");
        Forget();
        WriteWithPassword(page, "Quorka");
        EXPECT_TRUE(CallsOf("WriteNv 45").empty());
        for (int p = 1; p <= nv::kPartCount; ++p) {
            EXPECT_EQ(node.Part(p), before[p - 1]) << "part " << p;
        }
        EXPECT_EQ(page.GetDlgItemText(kP), "4.4");
        EXPECT_EQ(page.GetDlgItemText(kI), "44");
        EXPECT_EQ(page.GetDlgItemText(kPassword), "");
        EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");
        EXPECT_EQ(page.GetDlgItemText(res::common::kRead), "Read");
        EXPECT_TRUE(desktop.Messages().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Valves, PidPageTest, ::testing::ValuesIn(kValves),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
