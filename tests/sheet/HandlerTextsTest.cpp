// What a button says while its handler talks to the node: "Wait" on Read and Write, "Please
// wait..." on the Import / Export page's long operations, and its own label again afterwards.
#include <gtest/gtest.h>

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
    const char* busy;  // the text while the node is being talked to
    const char* rest;  // the text afterwards
};

void PrintTo(const ButtonCase& c, std::ostream* os) {
    *os << c.name;
}

const ButtonCase kButtons[] = {
    {"PumpRead", [](CSheet& s) -> CNodePage& { return s.m_Page13; }, 211, "Wait", "Read"},
    {"PumpWrite", [](CSheet& s) -> CNodePage& { return s.m_Page13; }, 210, "Wait", "Write"},
    {"ValveWrite", [](CSheet& s) -> CNodePage& { return s.m_Page11; }, 210, "Wait", "Write"},
    {"ExportSave", [](CSheet& s) -> CNodePage& { return s.m_Page2; }, res::import_export::kSave,
     "Please wait...", "Save to file"},
    {"FactoryDefaults", [](CSheet& s) -> CNodePage& { return s.m_Page2; },
     res::import_export::kFactory, "Please wait...", "Default settings"},
};

class HandlerTextsTest : public SheetFixture, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(HandlerTextsTest, ButtonSaysItWorksWhileTheNodeIsBusy) {
    const ButtonCase& c = GetParam();
    CNodePage& page = Show(c.page(Open()));
    const std::string file = std::filesystem::temp_directory_path() /
                             ("vireo-handler-texts-" + std::to_string(getpid()) + ".txt");
    desktop.QueueFile(file);
    desktop.QueueAnswer(true);
    page.SetDlgItemText(res::import_export::kPassword, "Quorka");

    std::set<std::string> seen;
    onHostCall = [&] { seen.insert(page.GetDlgItemText(c.button)); };
    Click(page, c.button);
    onHostCall = nullptr;
    std::filesystem::remove(file);

    EXPECT_EQ(seen, (std::set<std::string>{c.busy}));
    EXPECT_EQ(page.GetDlgItemText(c.button), c.rest);
}

INSTANTIATE_TEST_SUITE_P(Buttons, HandlerTextsTest, ::testing::ValuesIn(kButtons),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
