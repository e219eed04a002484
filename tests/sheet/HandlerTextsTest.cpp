// What a button says while its handler talks to the node: "Wait" on Read and Write, "Please
// wait..." on the Import / Export page's long operations, and its own label again afterwards.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <filesystem>
#include <set>
#include <string>

#include <unistd.h>

#include "SheetFixture.h"
#include "res/ImportExportDialog.h"

namespace {

struct ButtonCase {
    const char* name;
    CNodePage& (*page)(CSheet&);
    int button;
    const char* busy;     // the text while the node is being talked to
    const char* rest;     // the text afterwards
    bool onShow = false;  // the Read that showing the page runs, its first time
};

void PrintTo(const ButtonCase& c, std::ostream* os) {
    *os << c.name;
}

const ButtonCase kButtons[] = {
    {"PumpReadOnShow", [](CSheet& s) -> CNodePage& { return s.pumpMp1; }, 211, "Wait", "Read",
     true},
    {"PumpRead", [](CSheet& s) -> CNodePage& { return s.pumpMp1; }, 211, "Wait", "Read"},
    {"PumpWrite", [](CSheet& s) -> CNodePage& { return s.pumpMp1; }, 210, "Wait", "Write"},
    {"ValveWrite", [](CSheet& s) -> CNodePage& { return s.analogValves1; }, 210, "Wait", "Write"},
    {"ExportSave", [](CSheet& s) -> CNodePage& { return s.importExport; },
     res::import_export::kSave, "Please wait...", "Save to file"},
    {"FactoryDefaults", [](CSheet& s) -> CNodePage& { return s.importExport; },
     res::import_export::kFactory, "Please wait...", "Default settings"},
};

class HandlerTextsTest : public SheetFixture, public ::testing::WithParamInterface<ButtonCase> {};

// Whether a button was painted with the busy text: every widget is watched, as the buttons of
// a page shown for the first time are built while it is shown.
struct PaintWatch : QObject {
    explicit PaintWatch(const char* text) : text(text) { qApp->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto* button = qobject_cast<QAbstractButton*>(watched);
        painted |= event->type() == QEvent::Paint && button != nullptr && button->text() == text;
        return false;
    }
    QString text;
    bool painted = false;
};

TEST_P(HandlerTextsTest, ButtonSaysItWorksWhileTheNodeIsBusy) {
    const ButtonCase& c = GetParam();
    CNodePage& page = c.page(Open());
    sheet->Window()->show();
    QApplication::processEvents();
    if (!c.onShow) {
        Show(page);
        QApplication::processEvents();
    }
    PaintWatch watch(c.busy);
    const std::string file = std::filesystem::temp_directory_path() /
                             ("vireo-handler-texts-" + std::to_string(getpid()) + ".txt");
    desktop.QueueFile(file);
    desktop.QueueAnswer(true);
    page.SetDlgItemText(res::import_export::kPassword, "Quorka");

    // What the button says at each host call, and whether its busy text was painted before.
    std::set<std::string> seen;
    bool paintedFirst = true;
    onHostCall = [&] {
        seen.insert(page.GetDlgItemText(c.button));
        paintedFirst &= page.GetDlgItemText(c.button) != c.busy || watch.painted;
    };
    if (c.onShow) {
        Show(page);  // the live refresh ("Read"), then the Read ("Wait")
    } else {
        Click(page, c.button);
    }
    onHostCall = nullptr;
    std::filesystem::remove(file);

    EXPECT_EQ(seen,
              (c.onShow ? std::set<std::string>{c.busy, c.rest} : std::set<std::string>{c.busy}));
    EXPECT_TRUE(paintedFirst);
    EXPECT_EQ(page.GetDlgItemText(c.button), c.rest);
}

INSTANTIATE_TEST_SUITE_P(Buttons, HandlerTextsTest, ::testing::ValuesIn(kButtons),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
