// The Import / Export page on the simulated node: its show routine and its three buttons.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "SheetFixture.h"
#include "TestFiles.h"
#include "pages/ImportExportPage.h"
#include "platform/Dialog.h"
#include "res/ImportExportDialog.h"
#include "res/NodeComparisonDialog.h"
#include "settings/SettingsTexts.h"

namespace {

class ImportExportPageTest : public SheetFixture {
protected:
    void SetUp() override {
        SheetFixture::SetUp();
        const char* home = std::getenv("HOME");
        savedHome_ = home == nullptr ? "" : home;
        setenv("HOME", "/home/technician", 1);
        // A folder of each test's own: CTest runs the tests in parallel processes.
        dir_ = std::filesystem::temp_directory_path() /
               ("vireo-import-export-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        std::filesystem::remove_all(dir_);
        setenv("HOME", savedHome_.c_str(), 1);
        SheetFixture::TearDown();
    }
    std::string File(const char* name) const { return (dir_ / name).string(); }

private:
    std::string savedHome_;
    std::filesystem::path dir_;
};

TEST_F(ImportExportPageTest, ShowingThePageFillsTheNameAndTheFileName) {
    node.SetName("Boiler1");
    auto& page = Show(sheet ? sheet->importExport : Open().importExport);
    EXPECT_EQ(page.GetDlgItemText(res::import_export::kNodeName), "Boiler1");
    EXPECT_EQ(page.GetDlgItemText(res::import_export::kFileName), "/home/technician/Boiler1.txt");
    EXPECT_TRUE(page.IsDlgItemEnabled(res::import_export::kSave));
    EXPECT_EQ(CallsOf("GetNodeName"), (std::vector<std::string>{"GetNodeName 20 -> 0"}));
    EXPECT_FALSE(page.IsTimerRunning(1));

    // "Default" fills them again after the user changed them.
    page.SetDlgItemText(res::import_export::kFileName, "elsewhere.txt");
    Click(page, res::import_export::kDefault);
    EXPECT_EQ(page.GetDlgItemText(res::import_export::kFileName), "/home/technician/Boiler1.txt");
}

TEST_F(ImportExportPageTest, UnreadableNameDisablesSaveAndKeepsTheEdits) {
    auto& page = Show(Open().importExport);
    page.SetDlgItemText(res::import_export::kFileName, "kept.txt");
    node.FailName();
    Click(page, res::import_export::kDefault);
    EXPECT_FALSE(page.IsDlgItemEnabled(res::import_export::kSave));
    EXPECT_EQ(page.GetDlgItemText(res::import_export::kFileName), "kept.txt");
}

TEST_F(ImportExportPageTest, ExportPutsTheChosenPathIntoTheFileNameEdit) {
    node.SetName("Boiler1");
    auto& page = Show(Open().importExport);
    desktop.QueueFile(File("export.txt"));
    Click(page, res::import_export::kSave);
    EXPECT_EQ(page.GetDlgItemText(res::import_export::kFileName), File("export.txt"));
    EXPECT_EQ(page.GetDlgItemText(res::import_export::kSave), "Save to file");
    ASSERT_FALSE(desktop.Messages().empty());
    EXPECT_EQ(desktop.Messages().back().text, "File written");
    EXPECT_TRUE(std::filesystem::exists(File("export.txt")));
}

TEST_F(ImportExportPageTest, CancelledOpenDialogAfterTheRightPasswordEmptiesThePassword) {
    auto& page = Show(Open().importExport);
    page.SetDlgItemText(res::import_export::kPassword, "Quorka");
    Click(page, res::import_export::kDownload);  // no file queued: the dialog is cancelled
    EXPECT_EQ(page.GetDlgItemText(res::import_export::kPassword), "");
    EXPECT_EQ(page.GetDlgItemText(res::import_export::kDownload), "Read from file");
    EXPECT_TRUE(CallsOf("WriteNv").empty());
}

TEST_F(ImportExportPageTest, WrongPasswordForTheDownloadKeepsThePasswordText) {
    auto& page = Show(Open().importExport);
    page.SetDlgItemText(res::import_export::kPassword, "quorka");
    Click(page, res::import_export::kDownload);
    EXPECT_EQ(page.GetDlgItemText(res::import_export::kPassword), "quorka");
    ASSERT_EQ(desktop.Messages().size(), 1u);
    EXPECT_EQ(desktop.Messages()[0].text, "Wrong password!");
}

TEST_F(ImportExportPageTest, DefaultsWithAWrongPasswordWriteNothingAndEmptyThePassword) {
    auto& page = Show(Open().importExport);
    page.SetDlgItemText(res::import_export::kPassword, "wrong");
    Click(page, res::import_export::kFactory);
    EXPECT_TRUE(CallsOf("WriteNv").empty());
    EXPECT_EQ(page.GetDlgItemText(res::import_export::kPassword), "");
    EXPECT_EQ(page.GetDlgItemText(res::import_export::kFactory), "Default settings");
    ASSERT_EQ(desktop.Messages().size(), 1u);
    EXPECT_EQ(desktop.Messages()[0].text, "Wrong password");
}

TEST_F(ImportExportPageTest, DefaultsWithTheRightPasswordRestoreTheFactoryImage) {
    node.SetRaw(39, {0x00, 0x04});
    node.SetPart(9, host::Bytes(31, 0x11));
    auto& page = Show(Open().importExport);
    page.SetDlgItemText(res::import_export::kPassword, "Quorka");
    Click(page, res::import_export::kFactory);
    EXPECT_EQ(node.Raw(39), (host::Bytes{0x00, 0xFF}));
    EXPECT_EQ(node.Part(9), host::PartImage{});
    EXPECT_EQ(node.Selector(), 0);
    EXPECT_EQ(desktop.Messages().back().text, "Please restart the plugin");
}

// What the comparison dialog showed, read through the control ids while it is open.
struct ShownComparison {
    int opened = 0;
    std::string summary;
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
};

TEST_F(ImportExportPageTest, CompareWithNodeShowsTheNodeBesideTheFileWithChangesMarked) {
    namespace cmp = res::node_comparison;
    auto& page = Show(Open().importExport);
    std::string changed = settings_test::FactoryFileText();
    changed.replace(changed.find("\n255\n") + 1, 3, "3");  // override code of circuit 1
    settings_test::WriteBytes(File("changed.txt"), settings_test::CrLf(changed));
    settings_test::WriteBytes(File("same.txt"),
                              settings_test::CrLf(settings_test::FactoryFileText()));
    ShownComparison shown;
    desktop.onDialogModal = [&](platform::CDialog& dialog) {
        ++shown.opened;
        shown.summary = dialog.GetDlgItemText(cmp::kSummary);
        shown.headers = dialog.GetTableHeaders(cmp::kTable);
        shown.rows = dialog.GetTableRows(cmp::kTable);
    };
    std::string buttonWhileReading;
    onHostCall = [&] { buttonWhileReading = page.GetDlgItemText(res::import_export::kCompare); };

    desktop.QueueFile(File("changed.txt"));
    Click(page, res::import_export::kCompare);
    ASSERT_EQ(shown.opened, 1);
    const auto& request = desktop.FileDialogs().back();
    EXPECT_FALSE(request.save);
    EXPECT_EQ(request.request.filter, settings::kFileFilter);
    EXPECT_EQ(request.request.defaultExtension, settings::kDefaultExtension);
    EXPECT_EQ(request.request.initialName, page.GetDlgItemText(res::import_export::kFileName));
    EXPECT_EQ(shown.headers, (std::vector<std::string>{"", "variable", "field", "node", "file"}));
    std::vector<std::vector<std::string>> marked;
    std::copy_if(shown.rows.begin(), shown.rows.end(), std::back_inserter(marked),
                 [](const auto& row) { return !row[0].empty(); });
    EXPECT_EQ(marked, (std::vector<std::vector<std::string>>{{"*", "nciSwitchExt1",
                                                              "override code, circuit 1",
                                                              "Use manual rotary switch", "Day"}}));
    EXPECT_GT(shown.rows.size(), 100u);  // every field, not only the changed ones
    EXPECT_EQ(shown.summary, "1 difference");
    EXPECT_EQ(buttonWhileReading, "Please wait...");
    EXPECT_EQ(page.GetDlgItemText(res::import_export::kCompare), "Compare with node...");
    EXPECT_TRUE(desktop.Messages().empty());

    desktop.QueueFile(File("same.txt"));
    Click(page, res::import_export::kCompare);
    EXPECT_EQ(shown.summary, "No differences");
}

TEST_F(ImportExportPageTest, CompareWithNodeWithoutAReadableFileReadsNoNode) {
    auto& page = Show(Open().importExport);
    int opened = 0;
    desktop.onDialogModal = [&](platform::CDialog&) { ++opened; };
    Click(page, res::import_export::kCompare);  // no file queued: the dialog is cancelled
    EXPECT_TRUE(desktop.Messages().empty());

    desktop.QueueFile(File("missing.txt"));
    Click(page, res::import_export::kCompare);
    ASSERT_EQ(desktop.Messages().size(), 1u);
    EXPECT_EQ(desktop.Messages()[0].text, "Cannot read the settings file\n" + File("missing.txt"));
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(CallsOf("ReadNv").empty());
    EXPECT_TRUE(CallsOf("WriteNv").empty());
    EXPECT_EQ(page.GetDlgItemText(res::import_export::kCompare), "Compare with node...");
}

}  // namespace
