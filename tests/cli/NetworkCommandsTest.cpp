// Operations on many nodes of a simulated network: each node runs alone and fails alone, the
// channel is shared, and the summary and the history speak per node.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "cli/NetworkCommands.h"
#include "history/HistoryStore.h"
#include "host/ClientSite.h"
#include "host/ConsoleDesktop.h"
#include "node/NodeVariableMap.h"
#include "settings/ExportOperation.h"
#include "sim/Channel.h"
#include "sim/Network.h"
#include "sim/NodeStateFile.h"
#include "sim/SimNode.h"

namespace {

namespace fs = std::filesystem;

std::string Text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A settings file without its export timestamp, which is the PC's time of the export.
std::string WithoutTimestamp(const std::string& text) {
    const std::size_t label = text.find("/ Export timestamp");
    const std::size_t value = text.find('\n', label);
    const std::size_t end = text.find('\n', value + 1);
    return label == std::string::npos ? text : text.substr(0, value) + text.substr(end);
}

class NetworkCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              (std::string("vireo-network-") +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        setenv("VIREO_HISTORY", (dir / "history.sqlite").c_str(), 1);
        options.network = (dir / "nodes").string();
        options.outDir = (dir / "out").string();
        options.channelRate = 0;
        options.command.password = "Quorka";
        options.command.progress = host::ProgressStyle::Lines;
        options.command.sleep = [](int) {};
        for (const char* name : {"Boiler1", "Boiler2", "Boiler3"}) {
            MakeNode(name);
        }
    }
    void TearDown() override {
        unsetenv("VIREO_HISTORY");
        fs::remove_all(dir);
    }

    void MakeNode(const std::string& name, const host::SimNode& node = host::SimNode()) {
        host::SimNode named = node;
        named.SetName(name);
        ASSERT_EQ(host::SaveNodeState(StateFile(name), named), "");
    }
    std::string StateFile(const std::string& name) const {
        return (fs::path(options.network) / (name + ".json")).string();
    }
    std::string Exported(const std::string& name) const {
        return Text(fs::path(options.outDir) / (name + ".txt"));
    }
    // A settings file exported from a node with a changed configuration.
    std::string SettingsFile() {
        host::SimNode changed;
        changed.SetRaw(39, {0x00, 0x03});
        changed.SetPart(9, host::Bytes(31, 0x21));
        MakeNode("Source", changed);
        host::NetworkOptions one = options;
        one.names = {"Source"};
        one.outDir = (dir / "source").string();
        std::ostringstream ignored;
        EXPECT_EQ(host::RunNetworkExport(one, ignored, ignored), 0);
        fs::remove(StateFile("Source"));
        return (dir / "source" / "Source.txt").string();
    }

    template <typename Command>
    int Run(Command command) {
        out.str("");
        err.str("");
        return command(options, out, err);
    }

    fs::path dir;
    host::NetworkOptions options;
    std::ostringstream out;
    std::ostringstream err;
};

// Each operation, with one node failing the calls it makes: only that node reports errors,
// and every other node ends exactly as the same operation leaves a node that runs alone.
struct FailingNodeCase {
    const char* name;
    int (*command)(host::NetworkOptions, std::ostream&, std::ostream&);
    void (*fail)(host::SimNode&);
    bool exports;
    const char* errorColumn;
    host::ChannelUse use;  // what the node's run alone asks of the channel
};

class FailingNodeTest : public NetworkCommandsTest,
                        public ::testing::WithParamInterface<FailingNodeCase> {};

TEST_P(FailingNodeTest, OnlyTheFailingNodeReportsErrorsAndTheOthersCompleteExactly) {
    const FailingNodeCase& c = GetParam();
    if (!c.exports) {
        options.command.file = SettingsFile();
    }
    MakeNode("Lonely");  // the reference: the same operation, on its own
    host::NetworkOptions alone = options;
    alone.names = {"Lonely"};
    int pausedMs = 0;
    alone.command.sleep = [&pausedMs](int ms) { pausedMs += ms; };
    ASSERT_EQ(c.command(alone, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("Channel: " + std::to_string(c.use.transactions) + " transactions"),
              std::string::npos)
        << out.str();
    EXPECT_NEAR(pausedMs / 1000.0, c.use.pauseSeconds, 0.5);
    const std::string lonelyState = Text(StateFile("Lonely"));
    fs::remove(StateFile("Lonely"));

    options.nodeLoaded = [&c](host::SimNode& node) {
        if (node.Name() == "Boiler2") {
            c.fail(node);
        }
    };
    options.json = true;
    ASSERT_EQ(Run(c.command), 1) << err.str();
    const auto summary = nlohmann::json::parse(out.str());
    ASSERT_EQ(summary["nodes"].size(), 3U);
    EXPECT_EQ(summary["completed"], 2);
    for (const auto& row : summary["nodes"]) {
        const std::string name = row["node"];
        SCOPED_TRACE(name);
        if (name == "Boiler2") {
            EXPECT_EQ(row["result"], "not completed");
            EXPECT_GT(row[c.errorColumn].get<int>(), 0);
            continue;
        }
        EXPECT_EQ(row["result"], "completed");
        EXPECT_EQ(row["readErrors"], 0);
        EXPECT_EQ(row["writeErrors"], 0);
        host::SimNode lonely;
        ASSERT_EQ(host::LoadNodeState(StateFile(name), lonely), "");
        lonely.SetName("Lonely");
        EXPECT_EQ(host::SaveNodeState((dir / "compare.json").string(), lonely), "");
        EXPECT_EQ(Text(dir / "compare.json"), lonelyState);
        if (c.exports) {
            std::string expected = WithoutTimestamp(Exported("Lonely"));
            expected.replace(expected.find("- Lonely"), 8, "- " + name);
            EXPECT_EQ(WithoutTimestamp(Exported(name)), expected);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Operations, FailingNodeTest,
    ::testing::Values(FailingNodeCase{"Export", host::RunNetworkExport,
                                      [](host::SimNode& node) { node.FailPartRead(3); }, true,
                                      "readErrors", host::kExportChannelUse},
                      FailingNodeCase{"Download", host::RunNetworkDownload,
                                      [](host::SimNode& node) { node.FailPartWrite(9); }, false,
                                      "writeErrors", host::kDownloadChannelUse},
                      FailingNodeCase{"Defaults", host::RunNetworkDefaults,
                                      [](host::SimNode& node) { node.FailWrite(39); }, false,
                                      "writeErrors", host::kDefaultsChannelUse}),
    [](const auto& info) { return std::string(info.param.name); });

// How many nodes run at once: by default on each channel what it carries, spread evenly over
// the rounds, never more than there are, and within the open-file limit (the soft one raised to
// the hard one when needed), shared among the channels when even that is too little. --jobs
// chooses the number in all, but never more than a channel carries.
struct JobsCase {
    const char* name;
    int requested;
    std::map<int, host::ChannelCrowd> channels;
    std::uint64_t filesPerNode;
    std::uint64_t soft;
    std::uint64_t hard;
    std::map<int, int> atOnce;
    std::uint64_t openFiles;
    bool note;
};

class PlanJobsTest : public ::testing::TestWithParam<JobsCase> {};

TEST_P(PlanJobsTest, FitsEachChannelAndTheOpenFileLimit) {
    const JobsCase& c = GetParam();
    const host::JobsPlan plan =
        host::PlanJobs(c.requested, c.channels, c.filesPerNode, c.soft, c.hard);
    EXPECT_EQ(plan.atOnce, c.atOnce);
    int jobs = 0;
    for (const auto& [channel, atOnce] : c.atOnce) {
        jobs += atOnce;
    }
    EXPECT_EQ(plan.jobs, jobs);
    EXPECT_EQ(plan.openFiles, c.openFiles);
    EXPECT_EQ(plan.note.empty(), !c.note) << plan.note;
}

using Crowd = host::ChannelCrowd;
constexpr int kMost = host::kMostNodesAtOnce;
// A site's channel of 125 nodes, each carrying 63 at once; eight of them.
const std::map<int, Crowd> kEightChannels = {{1, {125, 63}}, {2, {125, 63}}, {3, {125, 63}},
                                             {4, {125, 63}}, {5, {125, 63}}, {6, {125, 63}},
                                             {7, {125, 63}}, {8, {125, 63}}};
INSTANTIATE_TEST_SUITE_P(
    Cases, PlanJobsTest,
    ::testing::Values(
        JobsCase{"AllTheChannelCarries", 0, {{0, {100, 102}}}, 5, 1024, 1024, {{0, 100}}, 0, false},
        JobsCase{"FewerNodes", 0, {{0, {3, 102}}}, 5, 1024, 1024, {{0, 3}}, 0, false},
        JobsCase{"EvenRounds", 0, {{1, {125, 50}}}, 1, 1024, 1024, {{1, 42}}, 0, false},
        JobsCase{"CrowdedChannelsEachWhatItCarries",
                 0,
                 {{1, {100, 63}}, {2, {100, 63}}, {3, {100, 63}}, {4, {100, 63}}},
                 2,
                 1024,
                 1024,
                 {{1, 50}, {2, 50}, {3, 50}, {4, 50}},
                 0,
                 false},
        JobsCase{"LinkedNodesUnderTheCommonLimit", 0, kEightChannels, 1, 1024, 1024,
                 std::map<int, int>{
                     {1, 63}, {2, 63}, {3, 63}, {4, 63}, {5, 63}, {6, 63}, {7, 63}, {8, 63}},
                 0, false},
        JobsCase{"Requested", 7, {{0, {100, kMost}}}, 5, 1024, 1024, {{0, 7}}, 0, false},
        JobsCase{
            "RequestedBeyondTheChannel", 100, {{1, {100, 63}}}, 2, 1024, 1024, {{1, 63}}, 0, false},
        JobsCase{
            "FastChannel", 0, {{0, {5000, kMost}}}, 5, 1024, 524288, {{0, 1000}}, 524288, false},
        JobsCase{"NoHardLimit",
                 0,
                 {{0, {1000, kMost}}},
                 5,
                 1024,
                 RLIM_INFINITY,
                 {{0, 1000}},
                 5064,
                 false},
        JobsCase{"HardLimitTooLow", 0, {{0, {1000, kMost}}}, 5, 1024, 1024, {{0, 167}}, 1024, true},
        JobsCase{
            "RequestedTooMany", 2000, {{0, {2000, kMost}}}, 5, 1024, 4096, {{0, 806}}, 4096, true},
        JobsCase{"LimitSharedAmongChannels",
                 0,
                 {{1, {100, 63}}, {2, {10, 63}}},
                 5,
                 200,
                 200,
                 {{1, 17}, {2, 10}},
                 200,
                 true}),
    [](const auto& info) { return std::string(info.param.name); });

// The simulated channel's default keeps it busy: an export's nodes run in step, so the channel
// needs as many as it carries transactions in a transmit timer (200 a second: 102), more than
// its share of their pauses (40); the factory defaults' long pauses hold more (160).
TEST(SimulatedNodesAtOnceTest, KeepTheChannelBusy) {
    EXPECT_EQ(host::SimulatedNodesAtOnce(200, host::kExportChannelUse), 102);
    EXPECT_EQ(host::SimulatedNodesAtOnce(200, host::kDefaultsChannelUse), 160);
    EXPECT_EQ(host::SimulatedNodesAtOnce(5, host::kExportChannelUse), 2);
    EXPECT_EQ(host::SimulatedNodesAtOnce(0, host::kExportChannelUse), kMost);
    EXPECT_EQ(host::SimulatedNodesAtOnce(1e6, host::kExportChannelUse), kMost);
}

TEST_F(NetworkCommandsTest, ByDefaultAsManyNodesRunAsTheChannelCarries) {
    options.channelRate = 5;  // carries two exporting nodes at once
    options.channelClock = {[] { return 0.0; }, [](double) {}};
    EXPECT_EQ(Run(host::RunNetworkExport), 0) << err.str();
    EXPECT_EQ(err.str().rfind("Export of 3 nodes, 2 at a time\n", 0), 0U) << err.str();
}

TEST_F(NetworkCommandsTest, AFileForAnotherProgramIdIsRefusedPerNodeUnlessYes) {
    options.command.file = SettingsFile();
    host::SimNode other;
    host::ProgramId id{};
    ASSERT_TRUE(host::ParseProgramId("90 56 69 72 65 6F 4B 2B", id));
    other.SetProgramId(id);
    MakeNode("Boiler2", other);
    const std::string before = Text(StateFile("Boiler2"));

    EXPECT_EQ(Run(host::RunNetworkDownload), 1);
    EXPECT_EQ(Text(StateFile("Boiler2")), before);
    EXPECT_NE(out.str().find("Boiler2  refused"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("--yes downloads anyway"), std::string::npos);
    EXPECT_NE(out.str().find("2 of 3 nodes completed"), std::string::npos);
    EXPECT_NE(err.str().find("[3/3]"), std::string::npos) << err.str();

    options.command.yes = true;
    EXPECT_EQ(Run(host::RunNetworkDownload), 0) << out.str();
    EXPECT_NE(Text(StateFile("Boiler2")), before);
}

TEST_F(NetworkCommandsTest, TheHistoryHoldsOneOperationPerNode) {
    options.command.file = SettingsFile();
    ASSERT_EQ(Run(host::RunNetworkDownload), 0) << out.str();
    std::string error;
    const auto store = history::Store::OpenForReading((dir / "history.sqlite").string(), error);
    ASSERT_TRUE(store) << error;
    std::map<std::string, std::set<std::int64_t>> operations;
    for (const history::Row& row : store->Rows({}, error)) {
        operations[row.node].insert(row.operation);
    }
    EXPECT_EQ(operations.size(), 3U);
    for (const auto& [node, ids] : operations) {
        EXPECT_EQ(ids.size(), 1U) << node;
    }
}

TEST_F(NetworkCommandsTest, AStoppedRunStartsNoFurtherNodeAndSaysSo) {
    options.jobs = 1;
    int asked = 0;
    options.stopRequested = [&asked] { return ++asked > 1; };
    EXPECT_EQ(Run(host::RunNetworkExport), 1);
    EXPECT_TRUE(fs::exists(fs::path(options.outDir) / "Boiler1.txt"));
    EXPECT_FALSE(fs::exists(fs::path(options.outDir) / "Boiler2.txt"));
    EXPECT_NE(out.str().find("Boiler3  not run"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("not started: the run was stopped"), std::string::npos);
}

// A download into every node, killed while every node is in the middle of its parts: the next
// command on the network reports each node's unfinished download with that node.
TEST_F(NetworkCommandsTest, AKilledRunIsReportedPerNode) {
    options.command.file = SettingsFile();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        static std::atomic<int> arrived{0};
        options.command.sleep = [](int) {
            thread_local int pauses = 0;
            if (++pauses == 20) {
                if (++arrived == 3) {
                    ::_exit(9);  // as a kill while all three write their parts
                }
                for (;;) {
                    std::this_thread::yield();
                }
            }
        };
        std::ostringstream ignored;
        ::_exit(host::RunNetworkDownload(options, ignored, ignored));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 9);

    options.json = true;
    ASSERT_EQ(Run(host::RunNetworkExport), 0) << err.str();
    const auto summary = nlohmann::json::parse(out.str());
    for (const auto& row : summary["nodes"]) {
        SCOPED_TRACE(row.dump());
        ASSERT_EQ(row["notes"].size(), 1U);
        const std::string note = row["notes"][0];
        EXPECT_NE(note.find("The download of "), std::string::npos);
        EXPECT_NE(note.find(" into " + row["node"].get<std::string>() + " started"),
                  std::string::npos);
        EXPECT_NE(note.find("the last part written was part "), std::string::npos);
    }
}

TEST_F(NetworkCommandsTest, TheNetworkIsListedAndNamesAreChecked) {
    std::ofstream(StateFile("broken")) << "{";
    EXPECT_EQ(host::RunNodesCommand(options.network, false, out, err), 1);
    EXPECT_NE(out.str().find("Boiler3  90 56 69 72 65 6F 4B 2A  " + StateFile("Boiler3")),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find(StateFile("broken") + "  (node state file"), std::string::npos);

    for (const std::string name : {"Boiler1", "../x", ".."}) {
        EXPECT_EQ(host::RunNewNetworkNodeCommand(options.network, name, out, err), 1) << name;
    }
    EXPECT_FALSE(fs::exists(dir / "x.json"));
    EXPECT_EQ(host::RunNewNetworkNodeCommand(options.network, "Boiler4", out, err), 0);

    options.names = {"Boiler4", "Boiler9"};
    EXPECT_EQ(Run(host::RunNetworkExport), 1);
    EXPECT_NE(err.str().find("no node named Boiler9"), std::string::npos) << err.str();
    EXPECT_FALSE(fs::exists(options.outDir));
}

// Transactions queue for the channel one slot after another; an idle channel serves at once.
TEST(ChannelTest, TransactionsTakeTurnsAtTheChannelsRate) {
    double now = 0;
    std::vector<double> waits;
    host::Channel channel(10, {[&now] { return now; }, [&waits](double s) { waits.push_back(s); }});
    for (int i = 0; i < 3; ++i) {
        channel.Transact();
    }
    now = 1.0;
    channel.Transact();
    ASSERT_EQ(waits.size(), 4U);
    EXPECT_NEAR(waits[0], 0.1, 1e-9);
    EXPECT_NEAR(waits[2], 0.3, 1e-9);
    EXPECT_NEAR(waits[3], 0.1, 1e-9);
    const host::Channel::Load load = channel.Measured();
    EXPECT_EQ(load.transactions, 4);
    EXPECT_NEAR(load.longestWait, 0.2, 1e-9);
    EXPECT_NEAR(host::Channel::Share(load, 2.0), 0.2, 1e-9);

    host::Channel unlimited(0, {[] { return 0.0; }, [&waits](double s) { waits.push_back(s); }});
    unlimited.Transact();
    EXPECT_EQ(waits.size(), 4U);
}

// Each host call takes its frames' time on FT-10: reading a 31-byte part is a longer slot than
// selecting it, the node's whole export about a quarter second, and a channel sixteen times as
// fast sixteen times as short.
TEST(ChannelTest, EachCallTakesItsFramesTime) {
    for (const double rate : {200.0, 3200.0}) {
        host::Channel channel(rate, {[] { return 0.0; }, [](double) {}});
        host::SimNode node;
        node.channel = &channel;
        const std::uint8_t part[2] = {0x00, 0x01};
        std::uint8_t buffer[nv::kBufferSize] = {};
        node.WriteNv(nv::kPartSelector, part, 2);
        const double selection = channel.Measured().busySeconds;
        node.ReadNv(nv::kPluginCnf, buffer, nv::kBufferSize);
        const double read = channel.Measured().busySeconds - selection;
        EXPECT_GT(read, 2 * selection) << rate;
        EXPECT_NEAR(read, 0.0082 * 200 / rate, 0.0005 * 200 / rate);

        host::SimNode exported;
        exported.channel = &channel;
        const double before = channel.Measured().busySeconds;
        std::ostringstream log;
        host::ConsoleDesktop desktop("", false, log);
        desktop.sleep = [](int) {};
        const host::SimLink link(exported);
        settings::ReadNodeConfiguration(link.Link(), desktop);
        EXPECT_NEAR(channel.Measured().busySeconds - before, 0.22 * 200 / rate, 0.03 * 200 / rate);
    }
}

}  // namespace
