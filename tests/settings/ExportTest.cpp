// The settings file as the export writes it, byte for byte, and the export's dialogue.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "TestFiles.h"
#include "framework/ScriptedDesktop.h"
#include "host/ClientSite.h"
#include "settings/ExportOperation.h"
#include "settings/FactoryDefaults.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsSupport.h"
#include "sim/SimNode.h"

namespace settings_test {
namespace {

using host::SimLink;
using host::SimNode;
using platform::ScriptedDesktop;
using settings::ExportOperation;
using settings::SettingsFile;

constexpr std::string_view kHeaderStart =
    "/////////////////////////////////////////  \n"
    "/ Exported from                            \n"
    "/ Program ID                               \n"
    "- 90 56 69 72 65 6F 4B 2A\n"
    "/ Nodename                                 \n";
constexpr std::string_view kTimestamp =
    "/ Export timestamp                         \n"
    "- 6/12-2026  9:05:07\n"
    "\n"
    "/ Network variable data \n"
    "\n";

constexpr std::string_view kLabels[] = {
    "* nciTemp1PlugIn    (36) - SNVT_str_int            \n",
    "* nciTemp2PlugIn    (37) - SNVT_str_int            \n",
    "* nciSwitchExt1     (38) - SNVT_count             \n",
    "* nciSwitchExt2    (39) - SNVT_count             \n",
    "* nciTimePump3     (40) - SNVT_time_sec             \n",
    "* nciCalcValve1    (41) - SNVT_time_passed              \n",
    "* nciCalcValve2    (42) - SNVT_time_passed        \n",
    "* nviPluginCnf     (44) - SNVT_str_int     ** Part 1  \n",
    "* nviPluginCnf     (44) - SNVT_str_int     ** Part 2  \n",
    "* nviPluginCnf     (44) - SNVT_str_int     ** Part 3  \n",
    "* nviPluginCnf     (44) - SNVT_str_int     ** Part 4  \n",
    "* nviPluginCnf     (44) - SNVT_str_int     ** Part 5  \n",
    "* nviPluginCnf     (44) - SNVT_str_int     ** Part 6  \n",
    "* nviPluginCnf     (44) - SNVT_str_int     ** Part 7  \n",
    "* nviPluginCnf     (44) - SNVT_str_int     ** Part 8  \n",
    "* nviPluginCnf     (44) - SNVT_str_int     ** Part 9  \n",
    "* nviPluginCnf     (44) - SNVT_str_int     ** Part 10 \n",
    "* nviPluginCnf     (44) - SNVT_str_int     ** Part 11 \n",
    "* nviPluginCnf     (44) - SNVT_str_int     ** Part 12 \n",
};

// Values of the hand-checked node, in block order.
constexpr std::string_view kValues[] = {
    "-2, 64336, 2000, 0, 0, 0, 7000, 3500, 0, 0, 0, 500, 3300, 500, 7000, 65535",
    "2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3300, 500, 7000, 5500",
    "255",
    "4660",
    "300.0",
    "4, 0, 0, -56",
    "-128, 127, -1, 1",
    "0, 216, 216, 80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2",
    "0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 400, 800, 400, 800, 0, 0",
    "0, 2000, 5, 2000, 5, 1500, 5, 700, 5, 700, 5, 65336, 3000, 200, 0, 0",
    "0, 1500, 1500, 2800, 200, 5, 8000, 15, 5, 0, 0, 0, 0, 0, 0, 0",
    "0, 1800, 300, 1800, 300, 1800, 300, 1800, 300, 0, 0, 0, 0, 0, 0, 0",
    "0, 0, 10000, 0, 2000, 2000, 50, 50, 50, 50, 0, 0, 0, 0, 0, 0",
    "0, 168, 168, 168, 168, 168, 168, 168, 168, 168, 0, 0, 0, 0, 0, 0",
    "0, 100, 60, 5, 100, 60, 5, 100, 60, 5, 100, 60, 5, 0, 0, 0",
    "0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0",
    "0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0",
    "0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0",
    "0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0",
};

void FillHandCheckedNode(SimNode& node) {
    node.SetName("Boiler1");
    node.SetRaw(nv::kTemp1PlugIn, {0xFE, 0xFB, 0x50, 0x07, 0xD0, 0,    0,    0,    0,   0, 0,
                                   0x1B, 0x58, 0x0D, 0xAC, 0,    0,    0,    0,    0,   0, 0x01,
                                   0xF4, 0x0C, 0xE4, 0x01, 0xF4, 0x1B, 0x58, 0xFF, 0xFF});
    node.SetRaw(nv::kTemp2PlugIn, settings::FactoryVariableImage(nv::kTemp2PlugIn));
    node.SetRaw(nv::kSwitchExt1, {0x00, 0xFF});
    node.SetRaw(nv::kSwitchExt2, {0x12, 0x34});
    node.SetRaw(nv::kTimePump3, {0x0B, 0xBD});  // 300.5 s: the tenths are not exported
    node.SetRaw(nv::kCalcValve1, {0x04, 0x00, 0x00, 0xC8});
    node.SetRaw(nv::kCalcValve2, {0x80, 0x7F, 0xFF, 0x01});
    for (int part = 1; part <= nv::kPartCount; ++part) {
        const auto image = settings::FactoryPartImage(part);
        node.SetPart(part, host::Bytes(image.begin(), image.end()));
    }
}

std::string Expected(std::string_view nodeName, const std::vector<bool>& withValues) {
    std::string text(kHeaderStart);
    text += "- ";
    text += nodeName;
    text += "\n";
    text += kTimestamp;
    for (std::size_t i = 0; i < std::size(kLabels); ++i) {
        text += kLabels[i];
        if (withValues[i]) {
            text += kValues[i];
            text += "\n\n";
        }
    }
    return CrLf(text);
}

class ExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = FreshDirectory();
        path_ = (dir_ / "Boiler1.txt").string();
        FillHandCheckedNode(node_);
        node_.StartRecording();
    }

    settings::OperationReport Run() {
        return ExportOperation(link_.Link(), desktop_).Run("initial");
    }

    std::filesystem::path dir_;
    std::string path_;
    SimNode node_;
    SimLink link_{node_};
    ScriptedDesktop desktop_;
};

TEST(SettingsFileLabels, HaveTheirExactLengthsAndNameTheirVariables) {
    const std::size_t lengths[] = {52, 52, 51, 50, 53, 57, 51, 55, 55, 55,
                                   55, 55, 55, 55, 55, 55, 55, 55, 55};
    const auto blocks = SettingsFile::Blocks();
    ASSERT_EQ(blocks.size(), std::size(lengths));
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        SCOPED_TRACE(blocks[i].label);
        EXPECT_EQ(blocks[i].label.size(), lengths[i]);
        // The name up to the first space after the "* " is what the reader matches.
        const std::string_view label = blocks[i].label;
        const auto* variable = SettingsFile::FindByName(label.substr(2, label.find(' ', 3) - 2));
        ASSERT_NE(variable, nullptr);
        EXPECT_EQ(variable->index, blocks[i].hostIndex);
        EXPECT_EQ(variable->fileKind, blocks[i].kind);
    }
}

TEST_F(ExportTest, WritesTheHandCheckedFileByteForByte) {
    desktop_.QueueFile(path_);
    const auto result = Run();

    EXPECT_EQ(ReadBytes(path_), Expected("Boiler1", std::vector<bool>(19, true)));
    EXPECT_TRUE(result.written);
    EXPECT_TRUE(result.Completed());
    EXPECT_EQ(result.readErrors, 0);
    EXPECT_EQ(result.path, path_);
    EXPECT_EQ(result.nodeName, "Boiler1");
    EXPECT_EQ(desktop_.MessageTexts(), std::vector<std::string>{"File written"});
    ASSERT_EQ(desktop_.FileDialogs().size(), 1u);
    EXPECT_TRUE(desktop_.FileDialogs()[0].save);
    EXPECT_EQ(desktop_.FileDialogs()[0].request.initialName, "initial");
    EXPECT_EQ(desktop_.FileDialogs()[0].request.filter,
              "Corvan NodeSettings (*.txt)|*.txt|All files (*.*)|*.*|");
    EXPECT_EQ(desktop_.FileDialogs()[0].request.defaultExtension, "*.txt");
    // Each part: selected between two 250 ms pauses, then 250 ms before its read.
    EXPECT_EQ(desktop_.Sleeps(), std::vector<int>(36, 250));
    EXPECT_EQ(node_.Selector(), 12);
    EXPECT_TRUE(node_.Recorded().ConfigurationWrites().empty());
    ASSERT_FALSE(desktop_.ProgressReports().empty());
    EXPECT_EQ(desktop_.ProgressReports().back().done, desktop_.ProgressReports().back().total);
}

TEST_F(ExportTest, EveryReadFailingGivesHeaderAndLabelsOnly) {
    node_.FailName();
    for (int index = nv::kTemp1PlugIn; index <= nv::kPluginCnf; ++index) {
        node_.FailRead(index);
    }
    desktop_.QueueFile(path_);
    const auto result = Run();

    EXPECT_EQ(ReadBytes(path_), Expected("", std::vector<bool>(19, false)));
    EXPECT_EQ(result.readErrors, 19);
    EXPECT_FALSE(result.Completed());
    EXPECT_EQ(result.nodeName, "");
    EXPECT_EQ(desktop_.MessageTexts(), std::vector<std::string>{"File Written. 19 NV read errors"});
}

TEST_F(ExportTest, ReadFailuresLeaveOutOnlyTheirValueLines) {
    node_.FailRead(nv::kSwitchExt2);
    node_.FailPartRead(3);
    desktop_.QueueFile(path_);
    const auto result = Run();

    std::vector<bool> withValues(19, true);
    withValues[3] = false;
    withValues[7 + 2] = false;
    EXPECT_EQ(ReadBytes(path_), Expected("Boiler1", withValues));
    EXPECT_EQ(desktop_.MessageTexts(), std::vector<std::string>{"File Written. 2 NV read errors"});
}

TEST_F(ExportTest, FailedPartSelectionCountsAsReadErrorInsteadOfExportingAnotherPart) {
    node_.SetSelector(5);
    node_.FailWrite(nv::kPartSelector);
    desktop_.QueueFile(path_);
    const auto result = Run();

    // Part 5 was showing all along and is the only part read.
    std::vector<bool> withValues(19, false);
    std::fill(withValues.begin(), withValues.begin() + 7, true);
    withValues[7 + 4] = true;
    EXPECT_EQ(ReadBytes(path_), Expected("Boiler1", withValues));
    EXPECT_EQ(result.readErrors, 11);
}

TEST_F(ExportTest, NodeNameLine) {
    struct Case {
        std::optional<std::string> name;
        std::string line;
    };
    const Case cases[] = {
        {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOPQRST"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "ABCDEFGHIJKLMNOPQRST"},
        {std::nullopt, ""},
        // A line end inside the name must not start a line of its own.
        {std::string("a\n* nciSwitchExt1 x"), "a * nciSwitchExt1 x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        if (c.name) {
            node_.Heal();
            node_.SetName(*c.name);
        } else {
            node_.FailName();
        }
        desktop_ = ScriptedDesktop();
        desktop_.QueueFile(path_);
        desktop_.QueueAnswer(true);  // overwrite, once a case before has written the file
        Run();
        const std::string text = ReadBytes(path_);
        const std::string expectedLine =
            "/ Nodename                                 \r\n- " + c.line + "\r\n/ Export timestamp";
        EXPECT_NE(text.find(expectedLine), std::string::npos) << text.substr(0, 300);
    }
}

TEST_F(ExportTest, CancelledDialogDoesNothing) {
    desktop_.QueueFile(std::nullopt);
    const auto result = Run();
    EXPECT_FALSE(result.path);
    EXPECT_TRUE(desktop_.Messages().empty());
    EXPECT_TRUE(node_.Recorded().reads.empty());
    EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(ExportTest, OverwriteAnsweredNoKeepsFileAndPartWindow) {
    WriteBytes(path_, "old content");
    node_.SetSelector(4);
    desktop_.QueueFile(path_);
    desktop_.QueueAnswer(false);
    const auto result = Run();

    EXPECT_EQ(ReadBytes(path_), "old content");
    EXPECT_EQ(result.path, path_);
    EXPECT_FALSE(result.written);
    ASSERT_EQ(desktop_.Messages().size(), 2u);
    EXPECT_EQ(desktop_.Messages()[0].text, "Overwrite existing file?");
    EXPECT_EQ(desktop_.Messages()[0].caption, "File exists!");
    EXPECT_EQ(desktop_.Messages()[0].buttons, platform::MessageButtons::YesNo);
    EXPECT_EQ(desktop_.Messages()[1].text, "File not written");
    EXPECT_TRUE(node_.Recorded().reads.empty());
    EXPECT_EQ(node_.Selector(), 4);
}

TEST_F(ExportTest, OverwriteAnsweredYesReplacesFileAndKeepsItsPermissions) {
    WriteBytes(path_, "old content");
    std::filesystem::permissions(path_, std::filesystem::perms::owner_read |
                                            std::filesystem::perms::owner_write |
                                            std::filesystem::perms::group_read);
    desktop_.QueueFile(path_);
    desktop_.QueueAnswer(true);
    Run();

    EXPECT_EQ(ReadBytes(path_), Expected("Boiler1", std::vector<bool>(19, true)));
    EXPECT_EQ(std::filesystem::status(path_).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
}

TEST_F(ExportTest, UncreatableFileShowsErrorOpeningFile) {
    desktop_.QueueFile((dir_ / "missing-directory" / "x.txt").string());
    const auto result = Run();
    EXPECT_FALSE(result.written);
    EXPECT_EQ(desktop_.MessageTexts(), std::vector<std::string>{"Error opening file"});

    desktop_.Clear();
    desktop_.QueueFile(dir_.string());  // a directory is not a file
    Run();
    EXPECT_EQ(desktop_.MessageTexts().back(), "Error opening file");
    EXPECT_TRUE(std::filesystem::is_directory(dir_));
}

// A file-size limit makes the write itself fail half-way, as a full disk would.
TEST_F(ExportTest, FailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
    WriteBytes(path_, "old content");
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 200;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);

    desktop_.QueueFile(path_);
    desktop_.QueueAnswer(true);
    const auto result = Run();

    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(result.written);
    EXPECT_EQ(desktop_.MessageTexts().back(), "Error opening file");
    EXPECT_EQ(ReadBytes(path_), "old content");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(DefaultFileName, IsInTheHomeDirectory) {
    const char* saved = std::getenv("HOME");
    const std::string savedHome = saved != nullptr ? saved : "";
    struct Case {
        const char* home;
        const char* name;
        const char* expected;
    };
    const Case cases[] = {
        {"/home/tech", "Boiler1", "/home/tech/Boiler1.txt"},
        {"/home/tech/", "Boiler1", "/home/tech/Boiler1.txt"},
        {"/home/tech", "../etc/x", "/home/tech/.._etc_x.txt"},
    };
    for (const Case& c : cases) {
        setenv("HOME", c.home, 1);
        EXPECT_EQ(settings::DefaultFileName(c.name), c.expected);
    }
    if (saved != nullptr) {
        setenv("HOME", savedHome.c_str(), 1);
    } else {
        unsetenv("HOME");
    }
}

TEST(ReadNodeName, CutsAtTwentyBytesOrTheFirstZero) {
    SimNode node;
    const SimLink link(node);
    node.SetName(std::string("Boiler\0XYZ", 10));
    EXPECT_EQ(settings::ReadNodeName(link.Link(), 20), "Boiler");
    node.SetName(std::string(31, 'N'));
    EXPECT_EQ(settings::ReadNodeName(link.Link(), 31), std::string(20, 'N'));
    node.FailName();
    EXPECT_FALSE(settings::ReadNodeName(link.Link(), 20));
    EXPECT_FALSE(settings::ReadNodeName(NodeLink(), 20));
}

}  // namespace
}  // namespace settings_test
