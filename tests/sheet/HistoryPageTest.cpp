// A page's Write in the write history: one operation named by the page's caption, on the node
// whose name the sheet read when it opened, with the bytes the write replaced, and not one host
// call more than without the history.
#include <gtest/gtest.h>

#include <filesystem>

#include "SheetFixture.h"
#include "history/HistoryRecorder.h"

namespace {

constexpr int kAutomatic = 341;
constexpr int kWrite = 210;

TEST_F(SheetFixture, PageWriteIsRecordedWithoutExtraHostCalls) {
    const std::string path =
        (std::filesystem::temp_directory_path() / "vireo-history-page.sqlite").string();
    std::filesystem::remove(path);
    host::Bytes manual(31, 0xFF);
    manual[1] = 0x00;
    manual[2] = 0x01;  // Mp1 Manual
    node.SetName("Boiler7");
    node.SetRaw(25, manual);

    std::vector<std::string> told;
    history::HistoryRecorder recorder(path, [&](const std::string& text) { told.push_back(text); });
    const history::InstalledRecorder installed(&recorder);
    Open();
    auto& page = Show(sheet->pumpMp1);
    Click(page, kAutomatic);
    Forget();
    {
        const history::InstalledRecorder off(nullptr);
        Click(page, kWrite);
    }
    const std::vector<std::string> without = calls;
    node.SetRaw(25, manual);
    Forget();
    Click(page, kWrite);
    EXPECT_EQ(calls, without);
    node.FailWrite(25);
    Click(page, kWrite);

    std::string error;
    const auto store = history::Store::OpenForReading(path, error);
    ASSERT_TRUE(store) << error;
    const auto rows = store->Rows({}, error);
    ASSERT_EQ(rows.size(), 2u);
    const node::WriteEvent& write = rows[0].write;
    EXPECT_EQ(rows[0].node, "Boiler7");
    EXPECT_EQ(write.origin, page.Caption());
    EXPECT_EQ(write.nv, 25);
    EXPECT_EQ(write.before, manual);
    EXPECT_EQ(write.bytes, node.Raw(25));
    EXPECT_TRUE(write.succeeded);
    EXPECT_EQ(rows[1].operation, rows[0].operation + 1);
    EXPECT_FALSE(rows[1].write.succeeded);
    EXPECT_TRUE(told.empty());
    std::filesystem::remove(path);
}

}  // namespace
