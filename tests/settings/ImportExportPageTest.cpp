// The Import / Export page on the simulated node: its show routine and its three buttons.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "SheetFixture.h"
#include "res/ImportExportDialog.h"
#include "settings/Page2PropPage.h"

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
    auto& page = Show(sheet ? sheet->m_Page2 : Open().m_Page2);
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
    auto& page = Show(Open().m_Page2);
    page.SetDlgItemText(res::import_export::kFileName, "kept.txt");
    node.FailName();
    Click(page, res::import_export::kDefault);
    EXPECT_FALSE(page.IsDlgItemEnabled(res::import_export::kSave));
    EXPECT_EQ(page.GetDlgItemText(res::import_export::kFileName), "kept.txt");
}

TEST_F(ImportExportPageTest, ExportPutsTheChosenPathIntoTheFileNameEdit) {
    node.SetName("Boiler1");
    auto& page = Show(Open().m_Page2);
    desktop.QueueFile(File("export.txt"));
    Click(page, res::import_export::kSave);
    EXPECT_EQ(page.GetDlgItemText(res::import_export::kFileName), File("export.txt"));
    EXPECT_EQ(page.GetDlgItemText(res::import_export::kSave), "Save to file");
    ASSERT_FALSE(desktop.Messages().empty());
    EXPECT_EQ(desktop.Messages().back().text, "File written");
    EXPECT_TRUE(std::filesystem::exists(File("export.txt")));
}

TEST_F(ImportExportPageTest, CancelledOpenDialogAfterTheRightPasswordEmptiesThePassword) {
    auto& page = Show(Open().m_Page2);
    page.SetDlgItemText(res::import_export::kPassword, "Quorka");
    Click(page, res::import_export::kDownload);  // no file queued: the dialog is cancelled
    EXPECT_EQ(page.GetDlgItemText(res::import_export::kPassword), "");
    EXPECT_EQ(page.GetDlgItemText(res::import_export::kDownload), "Read from file");
    EXPECT_TRUE(CallsOf("WriteNv").empty());
}

TEST_F(ImportExportPageTest, WrongPasswordForTheDownloadKeepsThePasswordText) {
    auto& page = Show(Open().m_Page2);
    page.SetDlgItemText(res::import_export::kPassword, "quorka");
    Click(page, res::import_export::kDownload);
    EXPECT_EQ(page.GetDlgItemText(res::import_export::kPassword), "quorka");
    ASSERT_EQ(desktop.Messages().size(), 1u);
    EXPECT_EQ(desktop.Messages()[0].text, "Wrong password!");
}

TEST_F(ImportExportPageTest, DefaultsWithAWrongPasswordWriteNothingAndEmptyThePassword) {
    auto& page = Show(Open().m_Page2);
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
    auto& page = Show(Open().m_Page2);
    page.SetDlgItemText(res::import_export::kPassword, "Quorka");
    Click(page, res::import_export::kFactory);
    EXPECT_EQ(node.Raw(39), (host::Bytes{0x00, 0xFF}));
    EXPECT_EQ(node.Part(9), host::PartImage{});
    EXPECT_EQ(node.Selector(), 0);
    EXPECT_EQ(desktop.Messages().back().text, "Please restart the plugin");
}

}  // namespace
