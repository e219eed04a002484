// `vireo defaults` with the write history, and `vireo history` listing it: decoded lines, the
// filters, a wrong date, and a database that is no database (one warning, the node written).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

#include "cli/Commands.h"
#include "cli/HistoryCommand.h"
#include "history/HistoryStore.h"
#include "settings/FactoryDefaults.h"
#include "sim/NodeStateFile.h"
#include "sim/SimNode.h"

namespace {

namespace fs = std::filesystem;

class HistoryCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              (std::string("vireo-history-command-") +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        database = (dir / "history.sqlite").string();
        setenv("VIREO_HISTORY", database.c_str(), 1);
        options.nodeFile = (dir / "node.json").string();
        options.password = "Quorka";
        options.sleep = [](int) {};
        host::SimNode node;
        node.SetName("Boiler1");
        node.SetPart(5, host::Bytes(31, 0xAA));
        ASSERT_EQ(host::SaveNodeState(options.nodeFile, node), "");
    }
    void TearDown() override {
        setenv("VIREO_HISTORY", "off", 1);
        fs::remove_all(dir);
    }

    int History(const host::HistoryOptions& history) {
        out.str("");
        err.str("");
        return host::RunHistoryCommand(history, out, err);
    }

    fs::path dir;
    std::string database;
    host::CommandOptions options;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(HistoryCommandTest, DefaultsAreListedDecodedAndFiltered) {
    std::ostringstream result;
    ASSERT_EQ(host::RunDefaultsCommand(options, result, err), 0) << err.str();
    EXPECT_EQ(err.str().find("history"), std::string::npos) << err.str();

    ASSERT_EQ(History({"Boiler1", ""}), 0) << err.str();
    EXPECT_NE(out.str().find("  Boiler1  Factory defaults  running time of pump Mp3: 300 s\n"),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("  Boiler1  Factory defaults  valve running time, circuit 1: "),
              std::string::npos);
    ASSERT_EQ(History({"Boiler2", ""}), 0);
    EXPECT_EQ(out.str(), "");
    ASSERT_EQ(History({"", "2999-01-01"}), 0);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(History({"", "01.01.2026"}), 2);
    EXPECT_NE(err.str().find("YYYY-MM-DD"), std::string::npos);
}

TEST_F(HistoryCommandTest, NoDatabaseInTheFileWarnsOnceAndTheNodeIsWritten) {
    const std::string garbage(2048, '#');
    std::ofstream(database, std::ios::binary) << garbage;
    std::ostringstream result;
    ASSERT_EQ(host::RunDefaultsCommand(options, result, err), 0) << err.str();
    const std::string text = err.str();
    const auto first = text.find("vireo: The write history is off: ");
    ASSERT_NE(first, std::string::npos) << text;
    EXPECT_EQ(text.find("history is off", first + 20), std::string::npos);
    host::SimNode node;
    ASSERT_EQ(host::LoadNodeState(options.nodeFile, node), "");
    EXPECT_EQ(node.Part(5), settings::FactoryPartImage(5));
    std::ifstream in(database, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), garbage);
    EXPECT_EQ(History({}), 1);
    EXPECT_NE(err.str().find("cannot be read"), std::string::npos);
}

// A download cut off (the process killed in its pauses) is reported by the next command on
// the node, once, with the file, the last part written and how to finish; a run that ends is
// never reported.
TEST_F(HistoryCommandTest, AnInterruptedDownloadIsReportedOnceByTheNextCommand) {
    options.file = (dir / "boiler.txt").string();
    std::ostringstream result;
    ASSERT_EQ(host::RunExportCommand(options, result, err), 0) << err.str();
    ASSERT_EQ(host::RunDownloadCommand(options, result, err), 0) << err.str();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int pauses = 0;
        options.sleep = [&pauses](int) {
            if (++pauses == 8) {
                ::_exit(9);  // as a kill in the middle of the pauses
            }
        };
        std::ostringstream ignored;
        ::_exit(host::RunDownloadCommand(options, ignored, ignored));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 9);

    // The writes that reached the node are in the history, and another node of the same name
    // hears nothing of the run.
    std::string error;
    const auto store = history::Store::OpenForReading(database, error);
    ASSERT_TRUE(store) << error;
    int lastPart = 0;
    for (const auto& row : store->Rows({}, error)) {
        lastPart = row.operation == 2 && row.write.nv == 45 ? row.write.part : lastPart;
    }
    ASSERT_GT(lastPart, 0);
    host::CommandOptions other = options;
    other.nodeFile = (dir / "other.json").string();
    other.file = (dir / "other.txt").string();
    ASSERT_EQ(host::RunNewNodeCommand(other.nodeFile, "Boiler1", result, err), 0);
    ASSERT_EQ(host::RunExportCommand(other, result, err), 0) << err.str();
    EXPECT_EQ(err.str().find("did not finish"), std::string::npos) << err.str();

    options.file = (dir / "after.txt").string();
    err.str("");
    ASSERT_EQ(host::RunExportCommand(options, result, err), 0) << err.str();
    const std::string report = err.str();
    EXPECT_NE(report.find("the last part written was part " + std::to_string(lastPart) + " of"),
              std::string::npos)
        << report;
    EXPECT_EQ(report.find("did not finish"), report.rfind("did not finish")) << report;
    EXPECT_NE(report.find("The download of " + (dir / "boiler.txt").string() + " into Boiler1"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("the last part written was part "), std::string::npos) << report;
    EXPECT_NE(report.find("Download the file again to finish it."), std::string::npos) << report;

    err.str("");
    options.force = true;
    ASSERT_EQ(host::RunExportCommand(options, result, err), 0) << err.str();
    EXPECT_EQ(err.str().find("did not finish"), std::string::npos) << err.str();
}

}  // namespace
