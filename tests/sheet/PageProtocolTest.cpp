// The page protocol, on a small page of our own added to a sheet on the simulated node: it
// keeps a word of part 8 in edit 260 (the dewpoint dialog's controls serve as its controls).
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <algorithm>
#include <optional>

#include "PageBytes.h"
#include "SheetFixture.h"
#include "codecs/NumericCodec.h"

namespace {

constexpr int kValueEdit = 260;
constexpr int kPasswordEdit = 244;

class WordPage : public CNodePage {
public:
    explicit WordPage(bool gated) : CNodePage(230, 265, behaviour::RefreshRead()), gated_(gated) {}

    int refreshes = 0;
    int reads = 0;

protected:
    void Refresh() override { ++refreshes; }
    void ReadConfig() override {
        ++reads;
        NvBuffer part{};
        if (ReadFirstPart(8, part)) {
            ShowNumber(kValueEdit, codecs::NumericCodec().MakeWord(part[1], part[2]), 0);
        }
    }
    void WriteConfig() override {
        NvBuffer part{};
        if (!ReadFirstPart(8, part)) {
            return;
        }
        const codecs::NumericCodec codec;
        part[1] = static_cast<std::uint8_t>(codec.HighByte(TypedNumber(kValueEdit)));
        part[2] = static_cast<std::uint8_t>(codec.LowByte(TypedNumber(kValueEdit)));
        WritePart(part);
    }
    int PasswordEditId() const override { return gated_ ? kPasswordEdit : 0; }
    bool ClearsPasswordAfterWrite() const override { return true; }

private:
    bool gated_;
};

class PageProtocolTest : public SheetFixture {
protected:
    WordPage& AddAndShow(WordPage& page) {
        Open().AddPage(&page);
        page.AttachNode(sheet.get());
        return Show(page);
    }
};

TEST_F(PageProtocolTest, ShowRefreshesReadsAndStartsTheTimerOnlyWhileVisible) {
    WordPage page(false);
    AddAndShow(page);
    EXPECT_EQ(page.refreshes, 1);
    EXPECT_EQ(page.reads, 1);
    EXPECT_TRUE(page.IsTimerRunning(1));
    EXPECT_EQ(desktop.TimerPeriods(), std::vector<int>{2000});
    EXPECT_EQ(page.GetDlgItemText(res::common::kRead), "Read");

    page.DeliverTimer(1);
    EXPECT_EQ(page.refreshes, 2);
    EXPECT_EQ(page.reads, 1);

    sheet->SetActivePage(0);
    EXPECT_FALSE(page.IsTimerRunning(1));
    page.DeliverTimer(1);  // a stray tick for a hidden page does nothing
    EXPECT_EQ(page.refreshes, 2);

    // Typed but unwritten values are overwritten when the page is shown again.
    page.SetDlgItemText(kValueEdit, "999");
    Show(page);
    EXPECT_EQ(page.reads, 2);
    EXPECT_TRUE(page.IsTimerRunning(1));
    EXPECT_EQ(page.GetDlgItemText(kValueEdit), "100");  // factory P of part 8
    EXPECT_EQ(desktop.RunningTimers(), 1);
}

// Every page of both page sets that refreshes starts timer 1 with a period of 2000 ms.
TEST_F(PageProtocolTest, EveryPageTimerRunsEveryTwoSeconds) {
    CSheet& s = Open();
    std::vector<int> periods;
    for (const int vi : {res::node_info::kVi1, res::node_info::kVi2}) {
        s.SetActivePage(0);
        s.nodeInfo.ClickDlgItem(vi);
        for (int i = 0; i < s.GetPageCount(); ++i) {
            desktop.Clear();
            s.SetActivePage(i);
            periods.insert(periods.end(), desktop.TimerPeriods().begin(),
                           desktop.TimerPeriods().end());
        }
    }
    // Status switches, valves, pumps, hot-water tank and the configuration pages with live
    // values: 9 in page set 1, 8 in page set 2.
    EXPECT_GE(periods.size(), 17u);
    EXPECT_EQ(std::count(periods.begin(), periods.end(), 2000),
              static_cast<std::ptrdiff_t>(periods.size()));
}

// A typed value that differs from what the page last read or wrote stays marked until a Read
// or a Write reaches the node; one that reaches nothing leaves the mark.
TEST_F(PageProtocolTest, TypedValuesAreMarkedUntilReadOrWritten) {
    WordPage page(false);
    AddAndShow(page);
    EXPECT_FALSE(page.IsDlgItemModified(kValueEdit));
    page.SetDlgItemText(kValueEdit, "120");
    EXPECT_TRUE(page.IsDlgItemModified(kValueEdit));
    page.SetDlgItemText(kValueEdit, "100");  // back to the node's value
    EXPECT_FALSE(page.IsDlgItemModified(kValueEdit));
    page.SetDlgItemText(kValueEdit, "120");
    page.ClickDlgItem(res::common::kRead);
    EXPECT_EQ(page.GetDlgItemText(kValueEdit), "100");
    EXPECT_FALSE(page.IsDlgItemModified(kValueEdit));

    page.SetDlgItemText(kValueEdit, "130");
    page.ClickDlgItem(res::common::kWrite);
    EXPECT_FALSE(page.IsDlgItemModified(kValueEdit));
    EXPECT_EQ(page.GetDlgItemText(kValueEdit), "130");

    page.SetDlgItemText(kValueEdit, "140");
    node.FailRead(nv::kPluginCnf);
    page.ClickDlgItem(res::common::kWrite);
    page.ClickDlgItem(res::common::kRead);
    EXPECT_TRUE(page.IsDlgItemModified(kValueEdit));
}

TEST_F(PageProtocolTest, PartAlreadySelectedIsReadWithoutAnyPause) {
    WordPage page(false);
    Open().AddPage(&page);
    page.AttachNode(sheet.get());
    node.SetSelector(8);
    Show(page);
    EXPECT_TRUE(desktop.Sleeps().empty());
    EXPECT_EQ(calls, (std::vector<std::string>{"ReadNv 44 31 -> 0", "ReadNv 45 31 -> 0"}));
}

TEST_F(PageProtocolTest, SelectingAnotherPartPausesBeforeAndAfter) {
    WordPage page(false);
    AddAndShow(page);
    EXPECT_EQ(desktop.Sleeps(), (std::vector<int>{250, 250}));
    EXPECT_EQ(node.Selector(), 8);
}

TEST_F(PageProtocolTest, WriteWhosePreliminaryReadFailsLeavesTheNodeAlone) {
    WordPage page(false);
    AddAndShow(page);
    const host::PartImage before = node.Part(8);
    node.FailRead(45);
    page.SetDlgItemText(kValueEdit, "7");
    Forget();
    Click(page, res::common::kWrite);
    EXPECT_TRUE(CallsOf("WriteNv").empty());
    EXPECT_EQ(node.Part(8), before);
    EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");
}

TEST_F(PageProtocolTest, TypedNumbersFollowTheAtofRules) {
    WordPage page(false);
    AddAndShow(page);
    const struct {
        const char* typed;
        int stored;
    } cases[] = {{"12abc", 12}, {"abc", 0}, {"  42", 42}, {"", 0}, {"-1", 65535}, {"1e3", 1000}};
    for (const auto& c : cases) {
        page.SetDlgItemText(kValueEdit, c.typed);
        Click(page, res::common::kWrite);
        const host::PartImage part = node.Part(8);
        EXPECT_EQ(part[1] * 256 + part[2], c.stored) << c.typed;
    }
}

TEST_F(PageProtocolTest, WrongPasswordWritesNothingAndEmptiesThePassword) {
    WordPage page(true);
    AddAndShow(page);
    const host::PartImage before = node.Part(8);
    page.SetDlgItemText(kValueEdit, "5");
    page.SetDlgItemText(kPasswordEdit, "quorka");
    Forget();
    Click(page, res::common::kWrite);
    EXPECT_TRUE(CallsOf("WriteNv").empty());
    EXPECT_EQ(node.Part(8), before);
    ASSERT_EQ(desktop.Messages().size(), 1u);
    EXPECT_EQ(desktop.Messages()[0].text, "Wrong Password");
    EXPECT_EQ(page.GetDlgItemText(kPasswordEdit), "");
    EXPECT_EQ(page.GetDlgItemText(res::common::kWrite), "Write");

    page.SetDlgItemText(kPasswordEdit, "Quorka");
    Click(page, res::common::kWrite);
    EXPECT_EQ(node.Part(8)[2], 5);
    EXPECT_EQ(page.GetDlgItemText(kPasswordEdit), "");
}

TEST_F(PageProtocolTest, WriteKeepsEveryOtherByteOfThePart) {
    WordPage page(false);
    AddAndShow(page);
    host::Bytes pattern(31);
    for (int i = 0; i < 31; ++i) {
        pattern[i] = static_cast<std::uint8_t>(0xA0 + i);
    }
    node.SetPart(8, pattern);
    page.SetDlgItemText(kValueEdit, "258");
    Click(page, res::common::kWrite);
    host::Bytes expected = pattern;
    expected[1] = 0x01;
    expected[2] = 0x02;
    const host::PartImage after = node.Part(8);
    EXPECT_EQ(host::Bytes(after.begin(), after.end()), expected);
}

TEST_F(PageProtocolTest, TicksAreDroppedWhileAHandlerWorks) {
    WordPage page(false);
    AddAndShow(page);
    page.OnClicked(kValueEdit, [] {});
    // A tick that arrives during a message box of a handler does not run the refresh.
    bool ticked = false;
    page.OnClicked(res::common::kRead, [&] {
        const int before = page.refreshes;
        page.DeliverTimer(1);
        ticked = page.refreshes != before;
    });
    Click(page, res::common::kRead);
    EXPECT_FALSE(ticked);
}

}  // namespace

namespace {

// A page with reset texts: cancelling the sheet runs its page-reset handler.
class ResettingPage : public CNodePage {
public:
    ResettingPage() : CNodePage(230, 265, behaviour::None()) { UseDefaultAndResetButtons(); }

protected:
    EditTexts ResetTexts() const override { return {{242, "0:00"}, {244, "0:00"}}; }
};

class PageResetTest : public SheetFixture {};

TEST_F(PageResetTest, CancellingTheSheetResetsTheEditsAndWritesNothing) {
    ResettingPage page;
    Open().AddPage(&page);
    Show(page);
    page.SetDlgItemText(242, "7:15");
    sheet->EndSheet(platform::IDCANCEL);
    EXPECT_EQ(page.GetDlgItemText(242), "0:00");
    EXPECT_EQ(page.GetDlgItemText(244), "0:00");
    EXPECT_TRUE(CallsOf("WriteNv").empty());
}

}  // namespace

namespace {

// What the user sees on the real widgets: a value typed or clicked but not written stands out
// in yellow, the node's state in its tooltip, until a Write stores it; a live value that can no
// longer be read shows greyed in italics, the status line saying why, until a refresh reads it.
enum class UserAction { Type, Click, FailRefresh };

struct MarkCase {
    const char* name;
    int id;
    UserAction action;
    const char* style;    // what the widget's style sheet holds afterwards
    const char* tooltip;  // how its tooltip starts
};

constexpr const char* kEdited = "background-color: #fff4b8";
const MarkCase kMarks[] = {
    {"TypedEdit", 213, UserAction::Type, kEdited, "Node: "},
    {"ClickedCheckBox", 207, UserAction::Click, kEdited, "Node: not marked"},
    {"ClickedRadio", 225, UserAction::Click, kEdited, "Node: not marked"},
    {"UnreadLiveValue", 219, UserAction::FailRefresh, "color: #595959; font-style: italic;",
     "Not refreshed since 09:05:07"},
};

class WidgetMarksTest : public SheetFixture, public ::testing::WithParamInterface<MarkCase> {};

TEST_P(WidgetMarksTest, ShowOnTheWidget) {
    const MarkCase& c = GetParam();
    UseAnalogPressureSensor();
    CNodePage& page = Show(Open().pressure);
    QWidget* widget = page.GetDlgItem(c.id);
    ASSERT_NE(widget, nullptr);
    switch (c.action) {
        case UserAction::Type: {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier, QStringLiteral("5"));
            QApplication::sendEvent(widget, &press);
            break;
        }
        case UserAction::Click:
            Click(page, c.id);
            break;
        case UserAction::FailRefresh:
            node.FailRead(24);
            desktop.SetNow({2026, 12, 6, 9, 7, 0});
            desktop.TickAll();
            break;
    }
    EXPECT_NE(widget->styleSheet().toStdString().find(c.style), std::string::npos)
        << widget->styleSheet().toStdString();
    EXPECT_EQ(widget->toolTip().toStdString().rfind(c.tooltip, 0), 0u)
        << widget->toolTip().toStdString();
    // The status line names what the refresh could not read, in red.
    const bool unread = c.action == UserAction::FailRefresh;
    EXPECT_EQ(sheet->StatusText().rfind(
                  unread ? "Refresh of Pressure failed: NV 24 not read" : "Node1", 0),
              0u)
        << sheet->StatusText();
    EXPECT_EQ(sheet->StatusColour(),
              unread ? platform::TextColour::Alarm : platform::TextColour::Normal);

    node.Heal();
    desktop.TickAll();
    Click(page, res::common::kWrite);
    EXPECT_EQ(widget->styleSheet().toStdString(), "");
    EXPECT_EQ(sheet->StatusColour(), platform::TextColour::Normal);
}

INSTANTIATE_TEST_SUITE_P(Controls, WidgetMarksTest, ::testing::ValuesIn(kMarks),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// A page with enabling rules on the pressure dialog's controls: the analog radio (224, bit 0x02
// of byte 10 of part 1) enables edit 218; monitoring VI1 (207, bit 0x04) enables 215 and
// disables 216. Shown, it reads the node's factory values: digital, not monitoring.
class RulesPage : public CNodePage {
public:
    RulesPage() : CNodePage(228, 264, behaviour::ReadOnly()) {
        static constexpr Bound kConfig[] = {
            FlagRadios(node::fields::kAnalogPressureSensor, 225, 224),
            Check(node::fields::kMonitorPressure[0], 207),
        };
        DeclareFields(kConfig);
        MakeRadioGroup({225, 224});
        EnableWhile(224, {218});
        EnableWhile(207, {215});
        EnableUnless(207, {216});
    }
};

struct RuleCase {
    const char* name;
    std::vector<int> clicks;             // after the page is shown
    std::optional<std::uint8_t> byte10;  // the node's byte 10 for a Read after the clicks
    std::vector<bool> enabled;           // 215, 216, 218 at the end
};

const RuleCase kRuleCases[] = {
    {"Shown", {}, std::nullopt, {false, true, false}},
    {"TickingTheBox", {207}, std::nullopt, {true, false, false}},
    {"UntickingTheBox", {207, 207}, std::nullopt, {false, true, false}},
    {"MarkingTheRadio", {224}, std::nullopt, {false, true, true}},
    {"MarkingTheOtherRadio", {224, 225}, std::nullopt, {false, true, false}},
    {"ReadShowingBoth", {}, 0x06, {true, false, true}},
    // The clicked states are put back after the Read, their rules with them.
    {"ReadKeepingTheClicks", {207, 224}, 0x00, {true, false, true}},
};

class EnablingRulesTest : public SheetFixture, public ::testing::WithParamInterface<RuleCase> {};

TEST_P(EnablingRulesTest, FollowTheirBoxOrRadio) {
    const RuleCase& c = GetParam();
    RulesPage page;
    Open().AddPage(&page);
    page.AttachNode(sheet.get());
    Show(page);
    for (int id : c.clicks) {
        Click(page, id);
    }
    if (c.byte10) {
        host::Bytes part1 = Pattern(0x31);
        part1[10] = *c.byte10;
        node.SetPart(1, part1);
        Click(page, res::common::kRead);
    }
    EXPECT_EQ((std::vector<bool>{page.IsDlgItemEnabled(215), page.IsDlgItemEnabled(216),
                                 page.IsDlgItemEnabled(218)}),
              c.enabled);
}

INSTANTIATE_TEST_SUITE_P(Triggers, EnablingRulesTest, ::testing::ValuesIn(kRuleCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
