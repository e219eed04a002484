// The command-line operations on a node state file: the same export, download and defaults
// as the page, with their exit status and result line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/Commands.h"
#include "host/NodeStateFile.h"
#include "host/SimNode.h"

namespace {

class CommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              (std::string("vireo-commands-") +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
        options.nodeFile = (dir / "node.json").string();
        options.sleep = [this](int ms) { pausedMs += ms; };
        host::SimNode node;
        node.SetName("Boiler1");
        ASSERT_EQ(host::SaveNodeState(options.nodeFile, node), "");
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    host::SimNode Node() const {
        host::SimNode node;
        EXPECT_EQ(host::LoadNodeState(options.nodeFile, node), "");
        return node;
    }
    void SaveNode(const host::SimNode& node) const {
        ASSERT_EQ(host::SaveNodeState(options.nodeFile, node), "");
    }

    int Run(int (*command)(const host::CommandOptions&, std::ostream&, std::ostream&)) {
        out.str("");
        err.str("");
        return command(options, out, err);
    }

    std::filesystem::path dir;
    host::CommandOptions options;
    std::ostringstream out;
    std::ostringstream err;
    int pausedMs = 0;
};

TEST_F(CommandsTest, ExportThenDownloadIntoAnotherNodeRestoresIt) {
    host::SimNode node = Node();
    node.SetRaw(39, {0x00, 0x03});
    node.SetPart(9, host::Bytes(31, 0x21));
    SaveNode(node);
    options.file = (dir / "boiler.txt").string();
    ASSERT_EQ(Run(host::RunExportCommand), 0) << err.str();
    EXPECT_EQ(out.str(), "File written\n");
    EXPECT_NE(err.str().find("Part 11 of 12"), std::string::npos);
    EXPECT_EQ(pausedMs, 12 * 750);

    SaveNode(host::SimNode());  // another node, in its factory state
    options.password = "Quorka";
    ASSERT_EQ(Run(host::RunDownloadCommand), 0) << err.str();
    EXPECT_EQ(out.str(), "Download completed\n");
    const host::SimNode after = Node();
    EXPECT_EQ(after.Raw(39), (host::Bytes{0x00, 0x03}));
    EXPECT_EQ(after.Part(9), node.Part(9));
    EXPECT_EQ(after.Selector(), 0);
}

TEST_F(CommandsTest, MismatchingProgramIdIsRefusedUnlessYesIsGiven) {
    options.file = (dir / "other.txt").string();
    std::ofstream(options.file) << "- 90 56 69 72 65 6F 4B 2B\r\n"
                                << "* nciSwitchExt1     (38) - SNVT_count             \r\n"
                                << "4\r\n";
    options.password = "Quorka";
    EXPECT_EQ(Run(host::RunDownloadCommand), 1);
    EXPECT_EQ(out.str(), "Download not completed\n");
    EXPECT_EQ(Node().Raw(39), (host::Bytes{0x00, 0xFF}));

    options.yes = true;
    EXPECT_EQ(Run(host::RunDownloadCommand), 0) << err.str();
    EXPECT_EQ(Node().Raw(39), (host::Bytes{0x00, 0x04}));
}

TEST_F(CommandsTest, WrongPasswordsFailAndWriteNothing) {
    options.file = (dir / "none.txt").string();
    options.password = "quorka";
    EXPECT_EQ(Run(host::RunDownloadCommand), 1);
    EXPECT_EQ(out.str(), "Wrong password!\n");
    EXPECT_EQ(Run(host::RunDefaultsCommand), 1);
    EXPECT_EQ(out.str(), "Wrong password\n");
    EXPECT_EQ(pausedMs, 0);
}

TEST_F(CommandsTest, DefaultsRestoreTheFactoryImage) {
    host::SimNode node = Node();
    node.SetRaw(37, host::Bytes(31, 0));
    SaveNode(node);
    options.password = "Quorka";
    ASSERT_EQ(Run(host::RunDefaultsCommand), 0) << err.str();
    EXPECT_EQ(out.str(), "Please restart the plugin\n");
    EXPECT_EQ(Node().Raw(37), host::SimNode().Raw(37));
}

TEST_F(CommandsTest, BrokenOrMissingStateFileIsReportedAndLeftAlone) {
    std::ofstream(options.nodeFile) << "{\"parts\": {\"1\": \"00\"}}";
    options.file = (dir / "x.txt").string();
    EXPECT_EQ(Run(host::RunExportCommand), 1);
    EXPECT_NE(err.str().find("parts.1"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(options.file));
    std::ifstream kept(options.nodeFile);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}),
              "{\"parts\": {\"1\": \"00\"}}");

    options.nodeFile = (dir / "absent.json").string();
    EXPECT_EQ(Run(host::RunExportCommand), 1);
    EXPECT_NE(err.str().find("does not exist"), std::string::npos);
}

}  // namespace

namespace {

// A second simulated node starts from the factory image with its own name, and an existing
// state file is never replaced.
TEST(NewNodeCommandTest, CreatesAFactoryNodeAndNeverOverwrites) {
    const auto dir = std::filesystem::temp_directory_path() / "vireo-new-node-test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "second.json").string();
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(host::RunNewNodeCommand(path, "Boiler2", out, err), 0);
    host::SimNode node;
    ASSERT_EQ(host::LoadNodeState(path, node), "");
    EXPECT_EQ(node.Name(), "Boiler2");
    EXPECT_EQ(node.Part(1), host::SimNode().Part(1));

    node.SetName("Changed");
    ASSERT_EQ(host::SaveNodeState(path, node), "");
    EXPECT_EQ(host::RunNewNodeCommand(path, "Boiler3", out, err), 1);
    EXPECT_NE(err.str().find("already exists"), std::string::npos);
    ASSERT_EQ(host::LoadNodeState(path, node), "");
    EXPECT_EQ(node.Name(), "Changed");
    std::filesystem::remove_all(dir);
}

}  // namespace
