// `vireo show`, `vireo diff` and `vireo download --dry-run`: the factory file as a table and as
// JSON, diff(1) exit statuses, and a dry run that writes no configuration to the node.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/ViewCommands.h"
#include "settings/TestFiles.h"
#include "sim/NodeStateFile.h"
#include "sim/SimNode.h"

namespace {

using settings_test::CrLf;
using settings_test::FactoryFileText;
using settings_test::WriteBytes;

class ViewCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = settings_test::FreshDirectory();
        WriteBytes(dir / "factory.txt", CrLf(FactoryFileText()));
        std::string changed = FactoryFileText();
        changed.replace(changed.find("\n255\n") + 1, 3, "3");  // override code of circuit 1
        WriteBytes(dir / "changed.txt", CrLf(changed));
        nodeOptions.nodeFile = (dir / "node.json").string();
        nodeOptions.sleep = [this](int ms) { pausedMs += ms; };
        host::SimNode node;
        node.SetName("Boiler1");
        ASSERT_EQ(host::SaveNodeState(nodeOptions.nodeFile, node), "");
    }
    std::string File(const char* name) const { return (dir / name).string(); }

    std::filesystem::path dir;
    host::NodeDiffOptions nodeOptions;
    std::ostringstream out;
    std::ostringstream err;
    int pausedMs = 0;
};

TEST_F(ViewCommandsTest, ShowPrintsTheFactoryFileAsATableAndAsJson) {
    ASSERT_EQ(host::RunShowCommand(File("factory.txt"), false, out, err), host::kViewEqual);
    const std::string text = out.str();
    // Checked by hand against the factory value lines.
    for (const char* line : {
             "Program ID: 90 56 69 72 65 6F 4B 2A\nNode name:  Boiler1\n",
             "\nvariable              field                                       value            "
             "         bytes\n",
             "\nnciTemp1PlugIn        curve point outdoor temperature, point 1    -12.0 °C         "
             "         FB 50\n",
             "\nnciSwitchExt1         override code, circuit 1                    Use manual "
             "rotary switch  00 FF\n",
             "\nnciTimePump3          running time of pump Mp3                    300 s ~          "
             "         0B B8\n",
             "\nnviPluginCnf part 1   frost protection                            on               "
             "         D8\n",
             "\nnviPluginCnf part 8   PID P, circuit 1                            10.0             "
             "         00 64\n",
             "\n~ the settings file does not carry every value of these bytes exactly\n",
             "\nThe download would take every block of ",
         }) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }

    out.str("");
    ASSERT_EQ(host::RunShowCommand(File("factory.txt"), true, out, err), host::kViewEqual);
    const auto json = nlohmann::json::parse(out.str());
    EXPECT_EQ(json["nodeName"], "Boiler1");
    EXPECT_TRUE(json["skippedLines"].empty());
    const auto& fields = json["fields"];
    const auto pump = std::find_if(fields.begin(), fields.end(), [](const auto& f) {
        return f["field"] == "running time of pump Mp3";
    });
    ASSERT_NE(pump, fields.end());
    EXPECT_EQ(*pump, nlohmann::json::parse(R"({"variable": "nciTimePump3", "field":
        "running time of pump Mp3", "value": "300 s", "bytes": "0B B8", "exact": false})"));
}

TEST_F(ViewCommandsTest, ShowListsRefusedLinesAndFailsOnAnUnreadableFile) {
    WriteBytes(dir / "short.txt",
               "- 90 56 69 72 65 6F 4B 2A\r\n* nciSwitchExt1 x\r\n* nciFoo x\r\n1\r\n");
    ASSERT_EQ(host::RunShowCommand(File("short.txt"), false, out, err), host::kViewEqual);
    EXPECT_NE(out.str().find("  line 2: nciSwitchExt1: no value line, nothing to write\n"
                             "  line 3: unknown variable \"nciFoo\": skipped\n"),
              std::string::npos)
        << out.str();
    EXPECT_EQ(host::RunShowCommand(File("missing.txt"), true, out, err), host::kViewTrouble);
    EXPECT_EQ(err.str(), "vireo: cannot read the settings file " + File("missing.txt") + "\n");
}

TEST_F(ViewCommandsTest, DiffExitStatusIsThatOfDiff) {
    struct Case {
        const char* a;
        const char* b;  // nullptr: the node
        int status;
        const char* lastLine;
    };
    const Case cases[] = {
        {"factory.txt", "factory.txt", host::kViewEqual, "No differences\n"},
        {"factory.txt", "changed.txt", host::kViewDifferent, "1 difference\n"},
        {"factory.txt", "missing.txt", host::kViewTrouble, ""},
        {"factory.txt", nullptr, host::kViewEqual, "No differences\n"},
        {"changed.txt", nullptr, host::kViewDifferent, "1 difference\n"},
        {"missing.txt", nullptr, host::kViewTrouble, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + (c.b ? c.b : "node"));
        out.str("");
        nodeOptions.file = File(c.a);
        const int status = c.b ? host::RunDiffFilesCommand(File(c.a), File(c.b), out, err)
                               : host::RunDiffNodeCommand(nodeOptions, out, err);
        EXPECT_EQ(status, c.status);
        const std::string text = out.str();
        EXPECT_TRUE(text.ends_with(c.lastLine)) << text;
    }
}

TEST_F(ViewCommandsTest, NodeTenthsOfTimePump3LostInTheFileAreEqualButInexact) {
    host::SimNode node;
    ASSERT_EQ(host::LoadNodeState(nodeOptions.nodeFile, node), "");
    node.SetRaw(nv::kTimePump3, {0x0B, 0xBD});  // 300.5 s; the file says 300.0
    nodeOptions.file = File("factory.txt");
    EXPECT_EQ(host::DiffNodeWithFile(node, nodeOptions, out, err), host::kViewEqual);
    EXPECT_NE(out.str().find("\n~  nciTimePump3  running time of pump Mp3  300 s         300 s\n"),
              std::string::npos)
        << out.str();
    EXPECT_TRUE(out.str().ends_with(
        "No differences (1 ~ equal but for what the settings file cannot carry)\n"));
}

TEST_F(ViewCommandsTest, DryRunReadsAsTheExportDoesAndWritesNoConfiguration) {
    host::SimNode node;
    ASSERT_EQ(host::LoadNodeState(nodeOptions.nodeFile, node), "");
    node.StartRecording();
    nodeOptions.file = File("changed.txt");
    EXPECT_EQ(host::DiffNodeWithFile(node, nodeOptions, out, err), host::kViewDifferent);
    EXPECT_TRUE(node.Recorded().ConfigurationWrites().empty());
    EXPECT_EQ(node.Recorded().MaxSelection(), 12);  // the parts, as the export selects them
    EXPECT_EQ(node.Raw(nv::kSwitchExt1), (host::Bytes{0x00, 0xFF}));
    EXPECT_GT(pausedMs, 0);
    EXPECT_NE(err.str().find("Part 11 of 12"), std::string::npos);
}

}  // namespace
