// Factory defaults: the table, the writes through the part window, the pauses and the
// closing message.

#include <gtest/gtest.h>

#include "framework/ScriptedDesktop.h"
#include "host/ClientSite.h"
#include "settings/FactoryDefaults.h"
#include "settings/FactoryDefaultsOperation.h"
#include "settings/SettingsFile.h"
#include "sim/SimNode.h"

namespace settings_test {
namespace {

using platform::ScriptedDesktop;
using settings::FactoryDefaultsOperation;

class FactoryDefaultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int index = nv::kTemp1PlugIn; index <= nv::kCalcValve2; ++index) {
            node_.SetRaw(index, host::Bytes(node_.Raw(index).size(), 0xAA));
        }
        for (int part = 1; part <= nv::kPartCount; ++part) {
            node_.SetPart(part, host::Bytes(nv::kPartSize, 0xAA));
        }
        node_.StartRecording();
    }

    settings::OperationReport Run(const std::string& password = "Quorka") {
        return FactoryDefaultsOperation(link_.Link(), desktop_).Run(password);
    }

    host::SimNode node_;
    host::SimLink link_{node_};
    ScriptedDesktop desktop_;
};

TEST(FactoryTable, ImagesHoldTheDesignedBytes) {
    using Bytes = std::vector<std::uint8_t>;
    EXPECT_EQ(settings::FactoryVariableImage(nv::kTemp1PlugIn),
              (Bytes{0x02, 0xFB, 0x50, 0x07, 0xD0, 0,    0,    0,    0,   0, 0,
                     0x1B, 0x58, 0x0D, 0xAC, 0,    0,    0,    0,    0,   0, 0x01,
                     0xF4, 0x0C, 0xE4, 0x01, 0xF4, 0x1B, 0x58, 0x15, 0x7C}));
    EXPECT_EQ(settings::FactoryVariableImage(nv::kSwitchExt1), (Bytes{0x00, 0xFF}));
    EXPECT_EQ(settings::FactoryVariableImage(nv::kSwitchExt2), (Bytes{0x00, 0xFF}));
    EXPECT_EQ(settings::FactoryVariableImage(nv::kTimePump3), (Bytes{0x0B, 0xB8}));
    EXPECT_EQ(settings::FactoryVariableImage(nv::kCalcValve1), (Bytes{4, 0, 0, 0}));
    EXPECT_EQ(settings::FactoryVariableImage(nv::kCalcValve2), (Bytes{4, 0, 0, 0}));
    EXPECT_TRUE(settings::FactoryVariableImage(nv::kPluginCnf).empty());

    // Part 1: variant word 2; part 3: word 11 is 65336; part 4: the bactericidal heating
    // words (delta 2.0 degrees, minimum 80.0 degrees); parts 9 to 12 all zero.
    const auto part1 = settings::FactoryPartImage(1);
    EXPECT_EQ(part1[29], 0x00);
    EXPECT_EQ(part1[30], 0x02);
    EXPECT_EQ(part1[1] * 256 + part1[2], 216);
    const auto part3 = settings::FactoryPartImage(3);
    EXPECT_EQ(part3[21] * 256 + part3[22], 65336);
    const auto part4 = settings::FactoryPartImage(4);
    EXPECT_EQ(part4[7] * 256 + part4[8], 200);
    EXPECT_EQ(part4[11] * 256 + part4[12], 8000);
    for (int part = 9; part <= 13; ++part) {
        const auto image = settings::FactoryPartImage(part);
        EXPECT_TRUE(std::all_of(image.begin(), image.end(), [](auto b) { return b == 0; }));
    }
}

// The images the field table builds are, byte for byte, those of the factory's value lines.
TEST(FactoryTable, FieldTableGivesTheFactoryLinesBytes) {
    const std::pair<int, std::string_view> kVariableLines[] = {
        {nv::kTemp1PlugIn,
         "2, 64336, 2000, 0, 0, 0, 7000, 3500, 0, 0, 0, 500, 3300, 500, 7000, 5500"},
        {nv::kTemp2PlugIn, "2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3300, 500, 7000, 5500"},
        {nv::kSwitchExt1, "255"},
        {nv::kSwitchExt2, "255"},
        {nv::kTimePump3, "300"},
        {nv::kCalcValve1, "4, 0, 0, 0"},
        {nv::kCalcValve2, "4, 0, 0, 0"},
    };
    for (const auto& [index, line] : kVariableLines) {
        EXPECT_EQ(settings::FactoryVariableImage(index),
                  settings::ParseValueLine(nv::Find(index)->fileKind, line))
            << "NV " << index;
    }
    const std::string_view kPartLines[nv::kPartCount] = {
        "0, 216, 216, 80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2",
        "0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 400, 800, 400, 800, 0, 0",
        "0, 2000, 5, 2000, 5, 1500, 5, 700, 5, 700, 5, 65336, 3000, 200, 0, 0",
        "0, 1500, 1500, 2800, 200, 5, 8000, 15, 5, 0, 0, 0, 0, 0, 0, 0",
        "0, 1800, 300, 1800, 300, 1800, 300, 1800, 300, 0, 0, 0, 0, 0, 0, 0",
        "0, 0, 10000, 0, 2000, 2000, 50, 50, 50, 50, 0, 0, 0, 0, 0, 0",
        "0, 168, 168, 168, 168, 168, 168, 168, 168, 168, 0, 0, 0, 0, 0, 0",
        "0, 100, 60, 5, 100, 60, 5, 100, 60, 5, 100, 60, 5, 0, 0, 0"};
    for (int part = 1; part <= nv::kPartCount; ++part) {
        const std::string_view line = kPartLines[part - 1];
        const auto expected = settings::ParseValueLine(
            nv::FileKind::StrInt,
            line.empty() ? "0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0" : line);
        const auto image = settings::FactoryPartImage(part);
        EXPECT_EQ(std::vector<std::uint8_t>(image.begin(), image.end()), expected)
            << "part " << part;
    }
}

TEST_F(FactoryDefaultsTest, WritesEveryByteOfTheTableAndLeavesPartWindowAtZero) {
    const auto result = Run();

    for (const nv::Variable& variable : nv::FileVariables()) {
        EXPECT_EQ(node_.Raw(variable.index), settings::FactoryVariableImage(variable.index))
            << "NV " << variable.index;
    }
    for (int part = 1; part <= nv::kPartCount; ++part) {
        EXPECT_EQ(node_.Part(part), settings::FactoryPartImage(part)) << "part " << part;
    }
    EXPECT_EQ(node_.Selector(), 0);
    EXPECT_TRUE(result.Completed());
    EXPECT_TRUE(result.clearPassword);
    EXPECT_EQ(desktop_.MessageTexts(), std::vector<std::string>{"Please restart the plugin"});
    EXPECT_EQ(desktop_.Messages()[0].caption, "");

    // 250 ms after each single variable; before each part 2000 ms and the selection between
    // two 250 ms pauses, then 250 ms; the return to part 0 between two 250 ms pauses.
    std::vector<int> expected(7, 250);
    for (int part = 1; part <= nv::kPartCount; ++part) {
        expected.insert(expected.end(), {2000, 250, 250, 250});
    }
    expected.insert(expected.end(), {250, 250});
    EXPECT_EQ(desktop_.Sleeps(), expected);
    EXPECT_EQ(node_.Recorded().selections,
              (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0}));
    ASSERT_FALSE(desktop_.ProgressReports().empty());
    EXPECT_EQ(desktop_.ProgressReports().back().done, desktop_.ProgressReports().back().total);
}

TEST_F(FactoryDefaultsTest, PartAlreadyShownIsWrittenWithoutWaiting) {
    node_.SetSelector(1);
    Run();
    EXPECT_EQ(desktop_.TotalSleepMs(), 7 * 250 + 11 * 2750 + 500);
    EXPECT_EQ(node_.Part(1), settings::FactoryPartImage(1));
}

TEST_F(FactoryDefaultsTest, WrongPasswordWritesNothing) {
    for (const char* password : {"", "quorka", "Quorka1"}) {
        desktop_ = ScriptedDesktop();
        const auto result = Run(password);
        EXPECT_EQ(desktop_.MessageTexts(), std::vector<std::string>{"Wrong password"});
        EXPECT_TRUE(result.clearPassword);
        EXPECT_FALSE(result.Completed());
        EXPECT_TRUE(desktop_.Sleeps().empty());
    }
    EXPECT_TRUE(node_.Recorded().writes.empty());
}

TEST_F(FactoryDefaultsTest, FailedWritesAreReported) {
    node_.FailWrite(nv::kTimePump3);
    node_.FailPartWrite(8);
    node_.FailPartWrite(9);
    const auto result = Run();
    EXPECT_EQ(desktop_.MessageTexts(),
              std::vector<std::string>{"Default settings not completed. 3 NV write errors"});
    EXPECT_EQ(result.writeErrors, 3);
    EXPECT_FALSE(result.Completed());
    EXPECT_EQ(node_.Part(10), settings::FactoryPartImage(10));
}

TEST_F(FactoryDefaultsTest, FailedPartSelectionWritesNoPart) {
    node_.SetSelector(6);
    node_.FailWrite(nv::kPartSelector);
    const auto result = Run();
    // Only part 6, which the window showed all along, is written.
    for (int part = 1; part <= nv::kPartCount; ++part) {
        if (part == 6) {
            EXPECT_EQ(node_.Part(part), settings::FactoryPartImage(part));
        } else {
            EXPECT_EQ(node_.Part(part)[0], 0xAA) << "part " << part;
        }
    }
    EXPECT_EQ(result.writeErrors, 12);  // eleven selections and the return to part 0
    EXPECT_EQ(desktop_.MessageTexts(),
              std::vector<std::string>{"Default settings not completed. 12 NV write errors"});
}

}  // namespace
}  // namespace settings_test
