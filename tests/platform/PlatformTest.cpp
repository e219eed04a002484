// The platform layer: controls and pictures built from templates, lazy page windows with their show
// and hide messages, and the scripted desktop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <stdexcept>

#include "framework/ScriptedDesktop.h"
#include "platform/DialogTemplate.h"
#include "platform/PropertySheet.h"
#include "platform/QtDesktop.h"

namespace {

using platform::CPropertyPage;
using platform::CPropertySheet;

// A page that records its window messages.
class LoggingPage : public CPropertyPage {
public:
    LoggingPage(int templateId, std::string name, std::vector<std::string>& log)
        : CPropertyPage(templateId, 200), name_(std::move(name)), log_(log) {}

    BOOL OnInitDialog() override {
        log_.push_back(name_ + " init");
        return TRUE;
    }
    void OnShowWindow(BOOL show) override {
        log_.push_back(name_ + (show ? " show" : " hide"));
        if (show) {
            SetTimer(1, 2000);
        } else {
            KillTimer(1);
        }
    }
    void OnTimer(int) override { log_.push_back(name_ + " tick"); }

private:
    std::string name_;
    std::vector<std::string>& log_;
};

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override { platform::Desktop::SetCurrent(&desktop); }
    void TearDown() override { platform::Desktop::SetCurrent(nullptr); }
    platform::ScriptedDesktop desktop;
    std::vector<std::string> log;
};

TEST_F(PlatformTest, TemplatesBuildTheirControlsWithTheirInitialState) {
    std::vector<std::string> unused;
    CPropertySheet sheet("Test", nullptr, 0);
    LoggingPage info(200, "info", unused);
    LoggingPage dew(230, "dew", unused);
    sheet.AddPage(&info);
    sheet.AddPage(&dew);
    sheet.Create();
    EXPECT_TRUE(info.HasDlgItem(231));
    EXPECT_EQ(info.GetDlgItemText(234), "VI1");
    EXPECT_FALSE(info.IsDlgItemEnabled(234));
    EXPECT_TRUE(info.IsDlgItemEnabled(235));
    const auto controls = info.Controls();
    ASSERT_EQ(controls.size(), 3u);
    EXPECT_EQ(controls[0].kind, platform::ControlKind::ReadOnlyEdit);
    // The second page has no window until its tab is shown.
    EXPECT_FALSE(dew.IsWindowCreated());
    EXPECT_FALSE(dew.HasDlgItem(260));
    EXPECT_EQ(dew.GetDlgItemText(211), "");
    sheet.SetActivePage(1);
    EXPECT_EQ(dew.GetDlgItemText(211), "Read");
    EXPECT_EQ(dew.GetDlgItemText(210), "Write");
}

TEST_F(PlatformTest, RadioButtonsStartTheirOwnGroupsAndStayMarkedWhenClickedAgain) {
    CPropertySheet sheet("Test", nullptr, 0);
    class RadioPage : public CPropertyPage {
    public:
        RadioPage() : CPropertyPage(230, 200) {}
    } page;
    sheet.AddPage(&page);
    sheet.Create();
    // Edits take any text; unknown ids read as empty and ignore writes.
    page.SetDlgItemText(260, "12,5");
    EXPECT_EQ(page.GetDlgItemText(260), "12,5");
    page.SetDlgItemText(999, "x");
    EXPECT_EQ(page.GetDlgItemText(999), "");
    EXPECT_EQ(page.IsDlgButtonChecked(260), 0);
    EXPECT_FALSE(page.ClickDlgItem(260));  // an edit is not a button
    EXPECT_FALSE(page.ClickDlgItem(999));
    page.EnableDlgItem(211, false);
    EXPECT_FALSE(page.ClickDlgItem(211));
}

// While a handler runs (and any handler it calls) the cursor is the busy cursor; it is back
// once the outermost handler returns.
TEST_F(PlatformTest, BusyCursorLastsFromTheOutermostHandlerToItsEndEvenWhenItThrows) {
    CPropertySheet sheet("Test", nullptr, 0);
    CPropertyPage page(230, 200);
    sheet.AddPage(&page);
    sheet.Create();
    std::vector<bool> busy;
    const auto cursorIsBusy = [] {
        const QCursor* cursor = QApplication::overrideCursor();
        return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
    };
    page.OnClicked(210, [&] { busy.push_back(cursorIsBusy()); });
    page.OnClicked(211, [&] {
        busy.push_back(cursorIsBusy());
        page.ClickDlgItem(210);
        busy.push_back(cursorIsBusy());
    });
    ASSERT_FALSE(cursorIsBusy());
    page.ClickDlgItem(211);
    EXPECT_EQ(busy, (std::vector<bool>{true, true, true}));
    EXPECT_FALSE(cursorIsBusy());

    // A handler that throws ends with a message box, the cursor back and the page alive.
    page.OnClicked(210, [] { throw std::runtime_error("state file gone"); });
    page.ClickDlgItem(210);
    ASSERT_EQ(desktop.Messages().size(), 1u);
    EXPECT_NE(desktop.Messages()[0].text.find("state file gone"), std::string::npos);
    EXPECT_FALSE(cursorIsBusy());
}

TEST_F(PlatformTest, PageWindowsAreCreatedLazilyAndHiddenBeforeTheNextIsShown) {
    CPropertySheet sheet("Test", nullptr, 0);
    LoggingPage a(230, "a", log);
    LoggingPage b(230, "b", log);
    sheet.AddPage(&a);
    sheet.AddPage(&b);
    sheet.Create();
    sheet.SetActivePage(1);
    sheet.SetActivePage(0);
    sheet.SetActivePage(1);
    EXPECT_EQ(log, (std::vector<std::string>{"a init", "a show", "a hide", "b init", "b show",
                                             "b hide", "a show", "a hide", "b show"}));
    EXPECT_EQ(desktop.RunningTimers(), 1);
    desktop.TickAll();
    EXPECT_EQ(log.back(), "b tick");
}

// The page list beside the page: selecting an entry is a tab change, and the list follows
// the pages added and removed while the sheet is open.
TEST_F(PlatformTest, PageListSelectsPagesAsTabsDoAndFollowsThePages) {
    CPropertySheet sheet("Test", nullptr, 0);
    LoggingPage a(230, "a", log);
    LoggingPage b(230, "b", log);
    LoggingPage c(230, "c", log);
    sheet.AddPage(&a);
    sheet.AddPage(&b);
    sheet.Create();
    QListWidget* list = sheet.PageList();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 2);
    list->setCurrentRow(1);
    list->setCurrentRow(0);
    list->setCurrentRow(1);
    EXPECT_EQ(log, (std::vector<std::string>{"a init", "a show", "a hide", "b init", "b show",
                                             "b hide", "a show", "a hide", "b show"}));
    sheet.SetActivePage(0);
    EXPECT_EQ(list->currentRow(), 0);
    sheet.AddPage(&c);
    sheet.RemovePage(&a);
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(sheet.GetActivePage(), &b);
    EXPECT_EQ(list->currentRow(), 0);
    list->setCurrentRow(1);
    EXPECT_EQ(sheet.GetActivePage(), &c);
    EXPECT_EQ(log.back(), "c show");
}

TEST_F(PlatformTest, RemovingAPageDestroysItsWindowAndAddingItAgainRecreatesIt) {
    CPropertySheet sheet("Test", nullptr, 0);
    LoggingPage a(230, "a", log);
    LoggingPage b(230, "b", log);
    sheet.AddPage(&a);
    sheet.AddPage(&b);
    sheet.Create();
    sheet.SetActivePage(1);
    sheet.RemovePage(&b);
    EXPECT_FALSE(b.IsWindowCreated());
    EXPECT_EQ(desktop.RunningTimers(), 1);  // a was shown in b's place
    sheet.AddPage(&b);
    sheet.SetActivePage(1);
    EXPECT_TRUE(b.IsWindowCreated());
    EXPECT_EQ(std::count(log.begin(), log.end(), "b init"), 2);
    sheet.Close();
    EXPECT_EQ(desktop.RunningTimers(), 0);
    EXPECT_FALSE(a.IsWindowCreated());
}

TEST_F(PlatformTest, CancelRunsEveryCreatedPagesResetHandler) {
    CPropertySheet sheet("Test", nullptr, 0);
    struct ResetPage : CPropertyPage {
        ResetPage() : CPropertyPage(230, 200) {}
        void OnReset() override { ++resets; }
        int resets = 0;
    } a, b;
    sheet.AddPage(&a);
    sheet.AddPage(&b);
    sheet.Create();
    sheet.EndSheet(platform::IDCANCEL);
    EXPECT_EQ(a.resets, 1);
    EXPECT_EQ(b.resets, 0);  // never shown: no window, nothing to reset
    sheet.EndSheet(platform::IDOK);
    EXPECT_EQ(a.resets, 1);
}

// A picture shows the image of the bitmap resource it names: dialog 220 shows bitmap 201, the
// heating curve, and nothing else as a picture.
TEST_F(PlatformTest, PictureShowsItsBitmapResource) {
    CPropertySheet sheet("Test", nullptr, 0);
    LoggingPage curve(220, "curve", log);
    sheet.AddPage(&curve);
    sheet.Create();
    const QImage bitmap = platform::LoadBitmapResource(201);
    QImage blank(bitmap.size(), bitmap.format());
    blank.fill(Qt::transparent);
    EXPECT_NE(bitmap, blank);
    std::vector<QImage> shown;
    for (const QLabel* label : curve.Window()->findChildren<QLabel*>()) {
        if (!label->pixmap().isNull()) {
            shown.push_back(label->pixmap().toImage().convertToFormat(bitmap.format()));
        }
    }
    EXPECT_EQ(shown, std::vector<QImage>{bitmap});
    EXPECT_TRUE(platform::LoadBitmapResource(202).isNull());
}

TEST_F(PlatformTest, ScriptedDesktopAnswersFromItsQueuesAndRecordsEverything) {
    desktop.QueueAnswer(true);
    EXPECT_EQ(desktop.MessageBox("Go?", "Q", platform::MessageButtons::YesNo,
                                 platform::MessageIcon::Question),
              platform::MessageAnswer::Yes);
    // An empty queue answers No and cancels.
    EXPECT_EQ(desktop.MessageBox("Again?", "Q", platform::MessageButtons::YesNo,
                                 platform::MessageIcon::None),
              platform::MessageAnswer::No);
    desktop.QueueFile("out \"1\".txt");
    EXPECT_EQ(desktop.SaveFileDialog({"C:\\x.txt", "", "*.txt"}), "out \"1\".txt");
    EXPECT_EQ(desktop.OpenFileDialog({"a\nb", "", ""}), std::nullopt);
    desktop.Sleep(250);
    desktop.Message("Done");
    EXPECT_EQ(
        desktop.Transcript(),
        (std::vector<std::string>{
            "MessageBox \"Go?\" \"Q\" YESNO -> yes", "MessageBox \"Again?\" \"Q\" YESNO -> no",
            "FileDialog save \"C:\\\\x.txt\" -> \"out \\\"1\\\".txt\"",
            "FileDialog open \"a\\nb\" -> cancel", "Sleep 250", "MessageBox \"Done\" \"\" OK"}));
    EXPECT_EQ(desktop.TotalSleepMs(), 250);
}

TEST(QtDesktopTest, FiltersBecomeQtNameFilters) {
    EXPECT_EQ(platform::QtNameFilters("Corvan NodeSettings (*.txt)|*.txt|All files (*.*)|*.*|"),
              "Corvan NodeSettings (*.txt);;All files (*.*)");
    EXPECT_EQ(platform::QtNameFilters("Text|*.txt;*.log|"), "Text (*.txt *.log)");
    EXPECT_EQ(platform::QtNameFilters(""), "");
}

}  // namespace

// The progress window names the operation and the node above the step, and once a step is done
// the seconds left at the pace so far.
TEST(QtDesktopTest, ProgressNamesTheOperationTheStepAndTheSecondsLeft) {
    const struct {
        const char* title;
        int done;
        qint64 elapsedMs;
        const char* label;
    } kCases[] = {
        {"Export - Boiler house", 0, 0, "Export - Boiler house\nPart 1 of 12"},
        {"Export - Boiler house", 6, 3000, "Export - Boiler house\nPart 1 of 12\nAbout 3 s left"},
        {"", 11, 1100, "Part 1 of 12\nAbout 1 s left"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(
            platform::ProgressLabel(c.title, "Part 1 of 12", c.done, 12, c.elapsedMs).toStdString(),
            c.label);
    }
}
