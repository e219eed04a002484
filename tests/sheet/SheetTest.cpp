// The sheet: host interfaces, page sets, the variant switch and the Node Information page.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QListWidget>
#include <QScrollArea>

#include "PageBytes.h"
#include "SheetFixture.h"
#include "settings/FactoryDefaults.h"
#include "sheet/VireoPropPage.h"

namespace {

const std::vector<std::string> kSet1 = {"Node Information",
                                        "Import / Export",
                                        "Set Time",
                                        "Calender Start / Stop",
                                        "Calender Pir",
                                        "Status Switch",
                                        "Exercise / Digital Valve",
                                        "Analog Valve",
                                        "Pump",
                                        "Extended operation",
                                        "Antifrost",
                                        "Temperatures",
                                        "Settings Temperatures",
                                        "Night lowering / Summer stop",
                                        "PID",
                                        "Outdoor Temperatures",
                                        "Pressure"};
const std::vector<std::string> kSet2 = {"Node Information",
                                        "Import / Export",
                                        "Set Time",
                                        "Calender Start / Stop",
                                        "Calender Pir",
                                        "Calender hot-water tank",
                                        "Status Switch",
                                        "Exercise / Digital Valve",
                                        "Analog Valve",
                                        "Pump",
                                        "Hot-water tank",
                                        "Extended operation",
                                        "Temperatures",
                                        "Settings Temperatures",
                                        "PID",
                                        "Outdoor Temperatures",
                                        "Pressure"};
const std::vector<std::string> kNoSet = {"Node Information", "Import / Export"};

host::Bytes PartWithVariant(int variant) {
    host::PartImage image = settings::FactoryPartImage(1);
    image[29] = static_cast<std::uint8_t>(variant >> 8);
    image[30] = static_cast<std::uint8_t>(variant & 0xFF);
    return host::Bytes(image.begin(), image.end());
}

class SheetTest : public SheetFixture {};

TEST_F(SheetTest, FactoryNodeOpensOnNodeInformationWithPageSet1) {
    node.SetName("Boiler1");
    CSheet& s = Open();
    EXPECT_EQ(s.TabCaptions(), kSet1);
    EXPECT_EQ(s.GetActivePage(), &s.nodeInfo);
    EXPECT_EQ(s.nodeInfo.GetDlgItemText(res::node_info::kNodeName), "Boiler1");
    EXPECT_FALSE(s.nodeInfo.IsDlgItemEnabled(res::node_info::kVi1));
    EXPECT_TRUE(s.nodeInfo.IsDlgItemEnabled(res::node_info::kVi2));
    EXPECT_EQ(s.GetDlgItemText(platform::IDOK), "Exit");
    EXPECT_FALSE(s.IsDlgItemVisible(platform::IDCANCEL));
    EXPECT_FALSE(s.IsDlgItemVisible(platform::ID_APPLY_NOW));
    EXPECT_TRUE(desktop.Messages().empty());
    EXPECT_EQ(node.Selector(), 0);
}

TEST_F(SheetTest, ConstructorAndPageTouchThePartSelectorInOrder) {
    Open();
    const std::vector<std::string> expected = {
        // The sheet: no pauses; part 1 read with 50 bytes; selector back to 0.
        "ReadNv 44 31 -> 0", "WriteNv 44 00 01 -> 0", "ReadNv 45 50 -> 0", "WriteNv 44 00 00 -> 0",
        // The Node Information page: its name, then the part window with pauses.
        "GetNodeName 32 -> 0", "ReadNv 44 31 -> 0", "WriteNv 44 00 01 -> 0", "ReadNv 45 32 -> 0",
        "WriteNv 44 00 00 -> 0"};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(desktop.Sleeps(), (std::vector<int>{250, 250, 250, 250}));
}

TEST_F(SheetTest, SelectorAlreadyAtPart1IsNotWrittenBeforeTheReads) {
    node.SetSelector(1);
    Open();
    // The sheet's read finds part 1 and writes 0; the page then finds 0 and selects 1 itself.
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[0], "ReadNv 44 31 -> 0");
    EXPECT_EQ(calls[1], "ReadNv 45 50 -> 0");
    EXPECT_EQ(calls[2], "WriteNv 44 00 00 -> 0");
    EXPECT_EQ(node.Selector(), 0);
}

TEST_F(SheetTest, VariantWordZeroShowsNoPageSetAndBothButtonsDisabled) {
    node.SetPart(1, PartWithVariant(0));
    CSheet& s = Open();
    EXPECT_EQ(s.TabCaptions(), kNoSet);
    EXPECT_FALSE(s.nodeInfo.IsDlgItemEnabled(res::node_info::kVi1));
    EXPECT_FALSE(s.nodeInfo.IsDlgItemEnabled(res::node_info::kVi2));
}

// When the selector cannot be written, NV 45 still shows another part; its word 29-30 is no
// variant word. As on a failed read, no page set opens and "VI2" keeps its state.
TEST_F(SheetTest, FailedPartSelectionReadsNoVariantWord) {
    node.SetPart(1, PartWithVariant(0));
    node.SetPart(3, PartWithVariant(2));
    node.SetSelector(3);
    node.FailWrite(nv::kPartSelector);
    CSheet& s = Open();
    EXPECT_EQ(s.TabCaptions(), kNoSet);
    EXPECT_TRUE(s.nodeInfo.IsDlgItemEnabled(res::node_info::kVi2));
    EXPECT_EQ(CallsOf("ReadNv 45"), std::vector<std::string>{});
}

TEST_F(SheetTest, AnyNonZeroVariantWordOpensPageSet1) {
    node.SetPart(1, PartWithVariant(0x0100));
    EXPECT_EQ(Open().TabCaptions(), kSet1);
}

TEST_F(SheetTest, SwitchingVariantsSwapsThePageSetsInTheirTabOrder) {
    CSheet& s = Open();
    s.nodeInfo.ClickDlgItem(res::node_info::kVi2);
    EXPECT_EQ(s.TabCaptions(), kSet2);
    EXPECT_TRUE(s.nodeInfo.IsDlgItemEnabled(res::node_info::kVi1));
    EXPECT_FALSE(s.nodeInfo.IsDlgItemEnabled(res::node_info::kVi2));
    s.nodeInfo.ClickDlgItem(res::node_info::kVi1);
    EXPECT_EQ(s.TabCaptions(), kSet1);
    EXPECT_FALSE(s.nodeInfo.IsDlgItemEnabled(res::node_info::kVi1));
    EXPECT_TRUE(s.nodeInfo.IsDlgItemEnabled(res::node_info::kVi2));
}

// The window's title names the node and the page set shown; the page list follows a swap.
TEST_F(SheetTest, TitleAndPageListFollowThePageSet) {
    node.SetName("Boiler1");
    CSheet& s = Open();
    EXPECT_EQ(s.Window()->windowTitle().toStdString(), "Boiler1 - VI1");
    s.nodeInfo.ClickDlgItem(res::node_info::kVi2);
    EXPECT_EQ(s.Window()->windowTitle().toStdString(), "Boiler1 - VI2");
    std::vector<std::string> entries;
    for (int i = 0; i < s.PageList()->count(); ++i) {
        entries.push_back(s.PageList()->item(i)->text().toStdString());
    }
    EXPECT_EQ(entries, kSet2);
    EXPECT_EQ(s.PageList()->currentRow(), 0);
    EXPECT_NE(s.StatusText().find("Boiler1"), std::string::npos);
}

TEST_F(SheetTest, TitleWithoutPageSetIsTheNodeName) {
    node.SetName("Boiler1");
    node.SetPart(1, PartWithVariant(0));
    EXPECT_EQ(Open().Title(), "Boiler1");
}

TEST_F(SheetTest, SharedPagesLoseTheirWindowWithEachSwitch) {
    CSheet& s = Open();
    s.SetActivePage(s.GetPageIndex(&s.outdoorTemperatures));
    EXPECT_TRUE(s.outdoorTemperatures.IsWindowCreated());
    s.SetActivePage(0);
    s.nodeInfo.ClickDlgItem(res::node_info::kVi2);
    // Removed and added again: its window is created anew when its tab is next shown.
    EXPECT_FALSE(s.outdoorTemperatures.IsWindowCreated());
    EXPECT_GE(s.GetPageIndex(&s.outdoorTemperatures), 0);
}

TEST_F(SheetTest, FailedStartupReadButSuccessfulPageReadEnablesVi2WithNoSetShown) {
    // The sheet's 50-byte read fails; the page's own 32-byte read succeeds.
    node.FailRead(45);
    sheet = std::make_unique<CSheet>("Vireo", nullptr, 0, site_);
    node.Heal();
    sheet->Create();
    EXPECT_EQ(sheet->TabCaptions(), kNoSet);
    EXPECT_FALSE(sheet->nodeInfo.IsDlgItemEnabled(res::node_info::kVi1));
    EXPECT_TRUE(sheet->nodeInfo.IsDlgItemEnabled(res::node_info::kVi2));
    sheet->nodeInfo.ClickDlgItem(res::node_info::kVi2);
    EXPECT_EQ(sheet->TabCaptions(), kSet2);
    EXPECT_EQ(node.Selector(), 0);
}

TEST_F(SheetTest, NeitherInterfaceShowsNodeNotAvailableAndStaysOpen) {
    Offer(host::Offer::None);
    CSheet& s = Open();
    ASSERT_EQ(desktop.Messages().size(), 1u);
    EXPECT_EQ(desktop.Messages()[0].text, "Node not available!");
    EXPECT_EQ(desktop.Messages()[0].caption, "Plugin");
    EXPECT_EQ(desktop.Messages()[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_TRUE(s.IsOpen());
    EXPECT_EQ(s.TabCaptions(), kNoSet);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(s.nodeInfo.GetDlgItemText(res::node_info::kNodeName), "");
}

TEST_F(SheetTest, OnlyOneInterfaceGivesNoMessage) {
    Offer(host::Offer::Reader);
    CSheet& s = Open();
    EXPECT_TRUE(desktop.Messages().empty());
    // The reader alone still finds part 1 unselected: nothing selects it, so no set is shown.
    EXPECT_EQ(s.m_pWriter, nullptr);
    EXPECT_NE(s.m_pReader, nullptr);
}

TEST_F(SheetTest, NodeNameOfExactly32BytesWithoutTerminatorShowsAll32) {
    const std::string name(32, 'N');
    node.SetName(name + "TAIL");
    CSheet& s = Open();
    EXPECT_EQ(s.nodeInfo.GetDlgItemText(res::node_info::kNodeName), name);
}

TEST_F(SheetTest, FailedNodeNameLeavesTheEditEmpty) {
    node.FailName();
    EXPECT_EQ(Open().nodeInfo.GetDlgItemText(res::node_info::kNodeName), "");
}

TEST_F(SheetTest, DestructorReleasesBothReferencesOnEachInterface) {
    void* probe = nullptr;
    control.GetClientSite()->QueryInterface(IID_IUnknown, &probe);
    const ULONG before = static_cast<IUnknown*>(probe)->Release();
    Open();
    sheet.reset();
    control.GetClientSite()->QueryInterface(IID_IUnknown, &probe);
    EXPECT_EQ(static_cast<IUnknown*>(probe)->Release(), before);
}

TEST_F(SheetTest, PagesTwoToSixteenLeaveTheFocusAlone) {
    CSheet& s = Open();
    EXPECT_EQ(s.nodeInfo.OnInitDialog(), FALSE);
    EXPECT_EQ(s.statusSwitchSw1.OnInitDialog(), FALSE);
    EXPECT_EQ(s.extendedOperation2.OnInitDialog(), FALSE);
    EXPECT_EQ(s.antifrost1.OnInitDialog(), TRUE);
    EXPECT_EQ(s.pressure.OnInitDialog(), TRUE);
}

}  // namespace

namespace {

// A page with an edit typed but not written is marked in the page list (" *", bold) until its
// Write or Read, F5 and Ctrl+S included; another page shown keeps the edit and the mark.
enum class Then { Nothing, ShowAnotherPage, Read, Write };

struct ListMarkCase {
    const char* name;
    Then then;
    bool marked;
};

const ListMarkCase kListMarks[] = {
    {"UntilWritten", Then::Nothing, true},
    {"KeptOnAnotherPage", Then::ShowAnotherPage, true},
    {"KeptOnRead", Then::Read, true},
    {"GoneOnWrite", Then::Write, false},
};

class PageListMarkTest : public SheetFixture, public ::testing::WithParamInterface<ListMarkCase> {};

TEST_P(PageListMarkTest, FollowsTheEdits) {
    const ListMarkCase& c = GetParam();
    CNodePage& page = Show(Open().pidMv1);  // PID
    const int row = sheet->GetPageIndex(&page);
    QListWidgetItem* entry = sheet->PageList()->item(row);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, QStringLiteral("7"));
    QApplication::sendEvent(page.GetDlgItem(213), &press);
    ASSERT_EQ(entry->text().toStdString(), "PID *");
    page.SetDlgItemText(226, "Quorka");  // the password the Write asks for
    switch (c.then) {
        case Then::Nothing:
            break;
        case Then::ShowAnotherPage:
            Show(sheet->pumpMp1);
            break;
        case Then::Read:
            EXPECT_TRUE(sheet->RunOnActivePage(platform::PageCommand::Read));
            break;
        case Then::Write:
            EXPECT_TRUE(sheet->RunOnActivePage(platform::PageCommand::Write));
            EXPECT_FALSE(CallsOf("WriteNv").empty());
            break;
    }
    EXPECT_EQ(entry->text().toStdString(), c.marked ? "PID *" : "PID");
    EXPECT_EQ(entry->font().bold(), c.marked);
    EXPECT_EQ(sheet->PagesWithUnwrittenEdits().size(), c.marked ? 1u : 0u);
    // Leaving asks the desktop's guard, which may keep the sheet open.
    int asked = 0;
    sheet->SetLeaveGuard([&] {
        ++asked;
        return false;
    });
    sheet->ClickDlgItem(platform::IDOK);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(sheet->IsOpen());
}

INSTANTIATE_TEST_SUITE_P(Sheet, PageListMarkTest, ::testing::ValuesIn(kListMarks),
                         [](const auto& info) { return std::string(info.param.name); });

// Read and Write sit below the page's scrolled area on every page, so no page hides them.
TEST_F(SheetTest, ReadAndWriteAreNeverScrolledAway) {
    Open();
    for (const bool set2 : {false, true}) {
        if (set2) {
            Show(sheet->nodeInfo).ClickDlgItem(235);  // "VI2"
        }
        for (int i = 0; i < sheet->GetPageCount(); ++i) {
            sheet->SetActivePage(i);
            const platform::CPropertyPage* page = sheet->GetPage(i);
            for (const int id : {res::common::kRead, res::common::kWrite}) {
                for (QWidget* w = page->GetDlgItem(id); w != nullptr; w = w->parentWidget()) {
                    EXPECT_EQ(qobject_cast<QScrollArea*>(w), nullptr)
                        << page->Caption() << ": button " << id << " scrolls with the page";
                }
            }
        }
    }
}

}  // namespace

namespace {

// A technician's edits outlive every Read: showing their page again, the leaving prompt's
// Write (which shows each page first), F5 after a Write that failed. A Write the node took in
// part marks only what the technician changed and was not stored, and says it was partial.
enum class After { ShowAgain, LeavingPrompt, F5AfterFailedWrite, Write };

struct EditCase {
    const char* name;
    After then;
    int edited;        // the control of Pressure edited: edit 213 (part 6), box 207 (part 1)
    int failPart = 0;  // the part whose NV 45 write fails on Write
    bool writtenAtLast = false;  // the node holds the edit at the end
    bool markedNotWritten = false;
    const char* status = "Node1";  // how the status line starts at the end
};

constexpr const char* kPartial =
    "Write of Pressure partly failed: NV 45 (part 1) not written; NV 45 (part 6) written";
const EditCase kEditCases[] = {
    {"ShownAgainKeepsTheEdit", After::ShowAgain, 213},
    {"ShownAgainKeepsTheClick", After::ShowAgain, 207},
    {"LeavingPromptWritesIt", After::LeavingPrompt, 213, 0, true},
    {"F5AfterAFailedWriteKeepsIt", After::F5AfterFailedWrite, 213, 0, false, true},
    {"PartialWriteMarksOnlyTheEditNotStored", After::Write, 207, 1, false, true, kPartial},
    {"PartialWriteLeavesTheUntouchedUnmarked", After::Write, 213, 1, true, false, kPartial},
};

class EditsTest : public SheetFixture, public ::testing::WithParamInterface<EditCase> {};

TEST_P(EditsTest, OutliveReadsUntilWritten) {
    const EditCase& c = GetParam();
    UseAnalogPressureSensor();
    const int id = c.edited;
    const int part = id == 207 ? 1 : 6;
    const host::Bytes before = PartBytes(node.Part(part));
    CNodePage& page = Show(Open().pressure);
    if (id == 207) {
        Click(page, id);
    } else {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, QStringLiteral("7"));
        QApplication::sendEvent(page.GetDlgItem(id), &press);
    }
    const std::string typed = page.GetDlgItemState(id);
    if (c.failPart != 0) {
        node.FailPartWrite(c.failPart);
    }
    switch (c.then) {
        case After::ShowAgain:
            Show(sheet->pumpMp1);
            Show(sheet->pressure);
            break;
        case After::LeavingPrompt:
            Show(sheet->pumpMp1);
            EXPECT_TRUE(sheet->WriteUnwrittenPages());
            break;
        case After::F5AfterFailedWrite:
            node.FailPartWrite(6);
            Click(page, res::common::kWrite);
            node.Heal();
            EXPECT_TRUE(sheet->RunOnActivePage(platform::PageCommand::Read));
            break;
        case After::Write:
            Click(page, res::common::kWrite);
            break;
    }
    node.Heal();
    EXPECT_EQ(sheet->StatusText().rfind(c.status, 0), 0u) << sheet->StatusText();
    EXPECT_EQ(page.IsDlgItemNotWritten(id), c.markedNotWritten);
    // Untouched controls of a step that failed show what the node holds, unmarked.
    for (const platform::ControlState& control : page.Controls()) {
        if (control.id != id) {
            EXPECT_FALSE(page.IsDlgItemNotWritten(control.id)) << control.id;
        }
    }
    if (c.writtenAtLast) {
        EXPECT_NE(PartBytes(node.Part(part)), before);
        EXPECT_FALSE(page.IsDlgItemModified(id));
        return;
    }
    // The edit is still there, marked against the node's value, and a Write stores it.
    EXPECT_EQ(page.GetDlgItemState(id), typed);
    EXPECT_TRUE(page.IsDlgItemModified(id));
    EXPECT_EQ(PartBytes(node.Part(part)), before);
    Click(page, res::common::kWrite);
    EXPECT_NE(PartBytes(node.Part(part)), before);
    EXPECT_FALSE(page.IsDlgItemModified(id));
}

INSTANTIATE_TEST_SUITE_P(Sheet, EditsTest, ::testing::ValuesIn(kEditCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// A node the host cannot reach ends a page's routine at its first call: no later call waits
// its own retries, and the status line gives the host's reason instead of a variable.
struct UnreachableCase {
    const char* name;
    int clicked;          // Read or Write; 0 for a tick of the live refresh
    const char* routine;  // how the status line names it
};

const UnreachableCase kUnreachable[] = {
    {"Read", res::common::kRead, "Read"},
    {"Write", res::common::kWrite, "Write"},
    {"Refresh", 0, "Refresh"},
};

class UnreachableTest : public SheetFixture,
                        public ::testing::WithParamInterface<UnreachableCase> {};

TEST_P(UnreachableTest, StopsAtTheFirstCallWithTheHostsReason) {
    const UnreachableCase& c = GetParam();
    CNodePage& page = Show(Open().pressure);
    const std::string reason =
        "node 1/5 did not answer the read of NV 44 after 7 tries (router "
        "lonip://127.0.0.1:1628); nothing listens on the router's port";
    node.FailUnreachable(reason);
    Forget();
    if (c.clicked != 0) {
        Click(page, c.clicked);
    } else {
        desktop.TickAll();
    }
    EXPECT_EQ(CallsOf("ReadNv").size() + CallsOf("WriteNv").size(), 1u);
    EXPECT_EQ(
        sheet->StatusText().rfind(std::string(c.routine) + " of Pressure failed: " + reason, 0), 0u)
        << sheet->StatusText();
    // Reached again, the next routine runs in full and the trouble is gone.
    node.Heal();
    Click(page, res::common::kRead);
    desktop.TickAll();
    EXPECT_EQ(sheet->StatusText().rfind("Node1", 0), 0u) << sheet->StatusText();
}

INSTANTIATE_TEST_SUITE_P(Sheet, UnreachableTest, ::testing::ValuesIn(kUnreachable),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
