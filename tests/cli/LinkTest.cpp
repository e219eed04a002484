// The host's node over a LON/IP channel against the simulated node served on 127.0.0.1: the
// export and the download give what they give in process, through lost packets, doubled and
// late answers; a silent node and a refused NV fail with the line that says so, and nothing is
// taken twice.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include <unistd.h>

#include "cli/Commands.h"
#include "cli/ViewCommands.h"
#include "host/ClientSite.h"
#include "link/CaptureFile.h"
#include "link/Discovery.h"
#include "link/LonNode.h"
#include "link/MemberMemory.h"
#include "lon/UdpDatagram.h"
#include "node/NodeVariableMap.h"
#include "serve/NodeServer.h"
#include "sim/OperationLock.h"
#include "sim/SimNode.h"

namespace {

using ServedNode = host::ServingThread;

struct LinkCase {
    const char* name;
    host::ServedFaults faults;
    bool download;  // else an export
    bool completes;
    const char* says;            // a line the link tells, or ""
    std::uint8_t servedKey = 0;  // the channel's secret: 16 bytes of this value; 0 none
    std::uint8_t ourKey = 0;
    bool closedPort = false;  // the router's port has nothing listening
};

std::string Text(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), {}};
    // The file's date line and the node's name line differ by when and how it was written.
    std::istringstream lines(text);
    std::string kept;
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        if (++number != 6 && number != 8) {
            kept += line + '\n';
        }
    }
    return kept;
}

class LinkTest : public ::testing::TestWithParam<LinkCase> {
protected:
    void SetUp() override {
        dir =
            std::filesystem::temp_directory_path() / (std::string("vireo-link-") + GetParam().name);
        std::filesystem::create_directories(dir);
        configured.SetRaw(nv::kSwitchExt1, {0x00, 0x03});
        configured.SetPart(9, host::Bytes(nv::kPartSize, 0x21));
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    // The operation on the simulated node in process, as the reference.
    static host::NodeOutcome InProcess(host::SimNode& node, const host::NodeOperation& operation,
                                       const std::filesystem::path& file) {
        std::ostringstream log;
        host::ConsoleDesktop desktop(file.string(), false, log);
        desktop.sleep = [](int) {};
        host::SimLink link(node);
        return operation(link.Link(), desktop);
    }

    host::LinkSettings Settings(std::uint16_t port) const {
        host::LinkSettings settings;
        settings.router = "127.0.0.1";
        settings.port = port;
        settings.node.node = {1, 5};
        settings.retry = {6, 2};  // 32 ms a try: the served node answers within a millisecond
        settings.name = "Boiler1";
        return settings;
    }

    std::filesystem::path dir;
    host::SimNode configured;
};

TEST_P(LinkTest, RunsAsInProcessOrSaysWhyNot) {
    const LinkCase& c = GetParam();
    const std::filesystem::path source = dir / "source.txt";
    const std::string file = c.download ? source.string() : (dir / "settings.txt").string();
    host::SimNode served;
    InProcess(configured, host::ExportTo(source.string()), source);
    const host::NodeOperation operation =
        c.download ? host::DownloadFrom(file, "Quorka") : host::ExportTo(file);
    if (!c.download) {
        served = configured;
    }
    const host::SimNode before = served;
    host::SimNode reference = served;
    reference.StartRecording();
    if (c.download) {
        InProcess(reference, operation, file);
    }
    served.StartRecording();

    const auto key = [](std::uint8_t b) { return b == 0 ? lon::Bytes{} : lon::Bytes(16, b); };
    ServedNode server(served, c.faults, {}, {.secret = key(c.servedKey)});
    host::LinkSettings settings = Settings(server.Port());
    settings.secret = key(c.ourKey);
    if (c.closedPort) {
        lon::SteadyClock clock;
        settings.port = lon::UdpDatagram(clock, "127.0.0.1", 0).LocalPort();  // closed again
    }
    host::LonNode node(settings);
    std::ostringstream log;
    host::ConsoleDesktop desktop(file, false, log);
    desktop.sleep = [](int) {};
    std::string told;
    std::optional<std::string> problem = host::OpenLinkedNode(node);
    host::NodeOutcome outcome;
    if (!problem) {
        outcome = host::RunOnLinkedNode(node, desktop, operation,
                                        [&told](const std::string& line) { told = line; });
    }
    server.Stop();
    const std::string said = problem ? *problem : told;

    EXPECT_EQ(outcome.completed, c.completes) << said << log.str();
    EXPECT_NE(said.find(c.says), std::string::npos) << said;
    if (c.completes && c.download) {
        for (int part = 1; part <= nv::kPartCount; ++part) {
            EXPECT_EQ(served.Part(part), configured.Part(part)) << "part " << part;
        }
        // A retried update is taken once: the node saw the writes the download made, no more.
        EXPECT_EQ(served.Recorded().writes.size(), reference.Recorded().writes.size());
    } else if (c.completes) {
        EXPECT_EQ(Text(file), Text(source));
    }
    if (!c.completes) {
        EXPECT_EQ(served.Part(9), before.Part(9));
    }
}

// What a packet analyser reads from the capture of an export: every packet a CN/IP data packet
// holding a LonTalk packet, the requests subnet/node addressed to node 5 with the NM code or NV
// selector meant, and each answered under its own transaction number.
TEST(LinkCaptureTest, APacketAnalyserDecodesTheExportAsMeant) {
    if (std::system("command -v tshark >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "tshark is not installed; the capture is not checked";
    }
    const auto dir = std::filesystem::temp_directory_path() / "vireo-link-capture";
    std::filesystem::remove_all(dir);  // a capture is never written over
    std::filesystem::create_directories(dir);
    host::SimNode served;
    ServedNode server(served, {});
    host::LinkSettings settings;
    settings.router = "127.0.0.1";
    settings.port = server.Port();
    settings.node.node = {1, 5};
    settings.capture.path = (dir / "export.pcap").string();
    {
        host::LonNode node(settings);
        ASSERT_EQ(host::OpenLinkedNode(node), std::nullopt);
        std::ostringstream log;
        host::ConsoleDesktop desktop((dir / "export.txt").string(), false, log);
        desktop.sleep = [](int) {};
        ASSERT_TRUE(host::RunOnLinkedNode(node, desktop,
                                          host::ExportTo((dir / "export.txt").string()),
                                          [](const std::string&) {})
                        .completed);
    }
    const std::string command =
        "tshark -r " + settings.capture.path + " -d udp.port==" + std::to_string(settings.port) +
        ",cnip -T fields -E separator=, -e cnip.type -e lon.addrfmt -e lon.srcnode -e "
        "lon.dstnode -e lon.trans_no -e lon.nm -e lon.nv.selector 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::vector<std::string> rows;
    char line[256];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        rows.emplace_back(line, std::strcspn(line, "\n"));
    }
    ::pclose(pipe);
    std::filesystem::remove_all(dir);

    // Select, query ID, end the selection; then the export's fetches and its part selections.
    ASSERT_GT(rows.size(), 40u);
    std::map<std::string, int> requests;
    for (std::size_t i = 0; i + 1 < rows.size(); i += 2) {
        std::vector<std::string> f;
        std::stringstream fields(rows[i]);
        for (std::string field; std::getline(fields, field, ',');) {
            f.push_back(field);
        }
        f.resize(7);
        EXPECT_EQ(f[0], "0x01") << rows[i];
        EXPECT_EQ(f[1], "0x02") << rows[i];
        EXPECT_EQ(f[2], "0x7e") << rows[i];
        EXPECT_EQ(f[3], "0x05") << rows[i];
        ++requests[f[5].empty() ? "NV " + f[6] : f[5]];
        // The answer: from node 5, back to us, under the request's transaction number.
        EXPECT_EQ(rows[i + 1].substr(0, 20), "0x01,0x02,0x05,0x7e,") << rows[i + 1];
        EXPECT_NE(rows[i + 1].find("," + f[4]), std::string::npos)
            << rows[i] << " / " << rows[i + 1];
    }
    EXPECT_EQ(requests["0x62"], 2);
    EXPECT_EQ(requests["0x61"], 1);
    EXPECT_EQ(requests["0x68"], 1);        // NV 44's selector, learned once
    EXPECT_GE(requests["NV 0x3fd3"], 12);  // 0x3FFF - 44: a part selected for each part read
    EXPECT_GT(requests["0x73"], 20);
}

// Discovery hears an unconfigured node answer the query broadcast, and a configured one answer
// once respond to query selected it, each with its address and Program ID.
TEST(LinkDiscoveryTest, FindsUnconfiguredAndConfiguredNodes) {
    for (const bool configured : {false, true}) {
        host::SimNode node;
        host::ServedIdentity identity;
        identity.address = {2, 9};
        identity.configured = configured;
        host::ServingThread served(node, {}, identity);
        host::LinkSettings settings;
        settings.router = "127.0.0.1";
        settings.port = served.Port();
        std::vector<host::FoundNode> found;
        ASSERT_EQ(host::DiscoverNodes(settings, lon::Millis(300), nullptr, found), std::nullopt);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].identity.neuronId, identity.neuronId);
        EXPECT_EQ(found[0].identity.programId, host::ControllerProgramId());
        EXPECT_EQ(found[0].address, (lon::SubnetNode{2, 9}));
        EXPECT_FALSE(found[0].servicePin);
    }
}

// A node that does not answer is a failed operation (1), not wrong usage (2).
TEST(LinkedNodeShowTest, ANodeThatDoesNotAnswerFails) {
    host::SimNode node;
    host::ServingThread served(node, {.silent = true});
    host::LinkSettings settings;
    settings.router = "127.0.0.1";
    settings.port = served.Port();
    settings.retry = {0, 0};
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(host::RunLinkedNodeShowCommand(settings, out, err), 1);
    EXPECT_NE(err.str().find("did not answer query ID"), std::string::npos) << err.str();
}

// A time-synchronised router judges each packet by its timestamp: one stamped 5 s in the past
// is stale and dropped, one stamped now is answered.
TEST(LinkTimestampTest, ASynchronisedRouterDropsAStalePacket) {
    struct ShiftedWall final : lon::WallClock {
        lon::Millis SinceEpoch() override { return system.SinceEpoch() + shift; }
        lon::SystemWallClock system;
        lon::Millis shift{0};
    };
    host::SimNode node;
    host::ServingThread served(node, {}, {}, {.timeSynced = true});
    lon::SteadyClock clock;
    lon::UdpDatagram udp(clock, "127.0.0.1", 0);
    udp.SetPeer("127.0.0.1", served.Port());
    ShiftedWall wall;
    lon::Channel::Options options;
    options.session = lon::NewSessionId();
    options.timeSynced = true;
    options.wall = &wall;
    lon::Channel channel(udp, clock, options);
    lon::Transactions transactions(channel, clock, {1, 126}, {}, {0, 6});
    const lon::Target target{false, {1, 5}, {}};
    wall.shift = lon::Millis(-5000);
    EXPECT_FALSE(
        transactions.Run(target, lon::Service::Request, lon::NvFetchRequest(44)).completed);
    wall.shift = lon::Millis(0);
    EXPECT_TRUE(transactions.Run(target, lon::Service::Request, lon::NvFetchRequest(44)).completed);
    served.Stop();
    EXPECT_EQ(served.Stale(), 1u);
}

// A node whose answer comes after its transaction ended: the next transaction hears the answer
// for the one before and, with nothing of its own, fails naming the answers late, not another
// node's.
TEST(LinkLateAnswerTest, AnAnswerForAnEarlierTransactionIsLate) {
    lon::SteadyClock clock;
    lon::UdpDatagram udp(clock, "127.0.0.1", 0);
    udp.AcceptAnyone();
    lon::Channel router(udp, clock, {.session = lon::NewSessionId()});
    std::thread node([&] {
        // Selecting the node is answered; the query ID is answered only once the next request
        // (ending the selection) has come, and that one never.
        std::vector<lon::Packet> requests;
        while (requests.size() < 3) {
            const std::optional<lon::Packet> packet =
                router.Receive(clock.Now() + lon::Millis(5000));
            if (!packet) {
                return;
            }
            requests.push_back(*packet);
            if (requests.size() == 2) {
                continue;
            }
            const lon::Packet& answered = requests[requests.size() == 1 ? 0 : 1];
            lon::Packet answer;
            answer.format = answered.format;
            answer.type = lon::kSpduResponse;
            answer.address.source = {1, 5};
            answer.address.destination = answered.address.source;
            answer.transaction = answered.transaction;
            answer.body = {lon::NmSuccess(answered.body.at(0))};
            router.SendTo(answer, router.LastFrom());
        }
    });
    host::LinkSettings settings;
    settings.router = "127.0.0.1";
    settings.port = udp.LocalPort();
    settings.node.node = {1, 5};
    settings.retry = {0, 2};
    host::LonNode linked(settings);
    const std::optional<std::string> problem = linked.Open();
    node.join();
    ASSERT_TRUE(problem);
    EXPECT_NE(problem->find("did not answer query ID after 1 tries (router lonip://127.0.0.1:"),
              std::string::npos)
        << *problem;
    EXPECT_NE(problem->find("; answers came late (for an earlier transaction)"), std::string::npos)
        << *problem;
}

host::ServedFaults Faults(int dropPercent, int duplicateEvery, int lateMs, bool silent,
                          std::set<int> refused = {}) {
    host::ServedFaults f;
    f.dropPercent = dropPercent;
    f.duplicateEvery = duplicateEvery;
    f.late = lon::Millis(lateMs);
    f.silent = silent;
    f.refusedNvs = std::move(refused);
    f.seed = 7;
    return f;
}

host::ServedFaults Reordered(int every) {
    host::ServedFaults f;
    f.reorderEvery = every;
    return f;
}

host::ServedFaults AnswersOf(int bytes) {
    host::ServedFaults f;
    f.answerBytes = bytes;
    return f;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LinkTest,
    ::testing::Values(
        LinkCase{"Export", {}, false, true, ""}, LinkCase{"Download", {}, true, true, ""},
        LinkCase{"ExportWithAFifthLost", Faults(20, 0, 0, false), false, true, ""},
        LinkCase{"DownloadWithAFifthLost", Faults(20, 0, 0, false), true, true, ""},
        LinkCase{"DownloadWithDoubledAnswers", Faults(0, 2, 0, false), true, true, ""},
        LinkCase{"DownloadWithLateAnswers", Faults(0, 0, 45, false), true, true, ""},
        LinkCase{"DownloadWithAnswersOutOfSequence", Reordered(3), true, true, ""},
        LinkCase{"SilentNode", Faults(0, 0, 0, true), false, false,
                 "node 1/5 did not answer query ID after 7 tries (router lonip://127.0.0.1:"},
        LinkCase{"AuthenticatedChannel", {}, false, true, "", 0x5A, 0x5A},
        LinkCase{"WrongSecret", {}, false, false, "the channel's secret may differ", 0x5A, 0x33},
        LinkCase{
            "ClosedPort", {}, false, false, "; nothing listens on the router's port", 0, 0, true},
        LinkCase{"ShortAnswers", AnswersOf(2), false, false, "node 1/5 answered 2 bytes for NV "},
        LinkCase{"LongAnswers", AnswersOf(40), false, false, "node 1/5 answered 40 bytes for NV "},
        LinkCase{"RefusedPartWindow", Faults(0, 0, 0, false, {nv::kPluginCnf}), true, false,
                 "node 1/5 did not answer the write of NV 45 after 7 tries"}),
    [](const ::testing::TestParamInfo<LinkCase>& info) { return std::string(info.param.name); });

// A program of this PC on a node over the link keeps the next one out, as on a state file's
// node: with --no-wait it fails before it touches the node, and runs once the node is free.
TEST(LinkedLockTest, AProgramOnTheNodeKeepsTheNextOneOut) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / "vireo-linked-lock.txt";
    std::filesystem::remove(file);
    host::SimNode served;
    ServedNode server(served, {}, {}, {});
    host::CommandOptions options;
    options.link = host::LinkSettings{};
    options.link->router = "127.0.0.1";
    options.link->port = server.Port();
    options.link->node.node = {1, 5};
    options.file = file.string();
    options.noWait = true;
    host::OperationLock other(
        "Boiler1", host::OperationLock::PathForLinkedNode(host::WireName(*options.link)), {});
    ASSERT_TRUE(other.Acquire());
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(host::RunExportCommand(options, out, err), 1);
    EXPECT_NE(err.str().find("node 1/5 at lonip://127.0.0.1:" + std::to_string(server.Port()) +
                             " is in use by process " + std::to_string(::getpid())),
              std::string::npos)
        << err.str();
    EXPECT_FALSE(std::filesystem::exists(file));
    other.Release();
    EXPECT_EQ(host::RunExportCommand(options, out, err), 0) << err.str();
    std::filesystem::remove(file);
}

// Junk from a stranger while an authenticated export runs: every answer goes to the sender of
// the request it answers, never to the junk's sender, and the export completes.
TEST(LinkJunkTest, AnswersGoToTheirRequestsSender) {
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "vireo-junk.txt";
    host::SimNode served;
    ServedNode server(served, {}, {}, {.secret = lon::Bytes(16, 0x5A)});
    lon::SteadyClock clock;
    lon::UdpDatagram stranger(clock, "127.0.0.1", 0);
    stranger.SetPeer("127.0.0.1", server.Port());
    std::atomic<bool> done = false;
    std::thread junk([&] {
        for (int sent = 0; !done || sent < 300; ++sent) {
            stranger.Send(lon::Bytes{0x00, 0x03, 0x01});
            std::this_thread::yield();
        }
    });
    host::LinkSettings settings;
    settings.router = "127.0.0.1";
    settings.port = server.Port();
    settings.node.node = {1, 5};
    settings.secret = lon::Bytes(16, 0x5A);
    host::LonNode node(settings);
    ASSERT_FALSE(host::OpenLinkedNode(node));
    std::ostringstream log;
    host::ConsoleDesktop desktop(file.string(), false, log);
    desktop.sleep = [](int) {};
    const host::NodeOutcome outcome =
        host::RunOnLinkedNode(node, desktop, host::ExportTo(file.string()), [](auto&) {});
    done = true;
    junk.join();
    EXPECT_TRUE(outcome.completed) << outcome.line;
    EXPECT_FALSE(stranger.Receive(clock.Now() + lon::Millis(50)).has_value());
    std::filesystem::remove(file);
}

// What two runs heard of one member, as the next run starts from it.
struct MergeCase {
    const char* name;
    lon::SequenceFilter::State kept;
    lon::SequenceFilter::State now;
    lon::SequenceFilter::State merged;
};

class MemberMemoryTest : public ::testing::TestWithParam<MergeCase> {};

TEST_P(MemberMemoryTest, KeepsTheLaterOfTwoRuns) {
    const MergeCase& c = GetParam();
    const lon::SequenceFilter::State merged = host::Merged(c.kept, c.now);
    EXPECT_EQ(merged.session, c.merged.session);
    EXPECT_EQ(merged.last, c.merged.last);
    EXPECT_EQ(merged.earlier, c.merged.earlier);
    // Written and read back as the file holds it.
    const lon::Channel::KnownMembers members = {{{0x7F000001, 1628}, merged}};
    const lon::Channel::KnownMembers read = host::MemberMemory::Parse(
        "junk line\n" + host::MemberMemory::Text(members) + "1.2.3.4:5 x 1\n");
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read.begin()->second.last, c.merged.last);
    EXPECT_EQ(read.begin()->second.earlier, c.merged.earlier);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, MemberMemoryTest,
    ::testing::Values(MergeCase{"sameSessionLaterSequence", {7, 90, {}}, {7, 40, {}}, {7, 90, {}}},
                      MergeCase{"aRestartHeardNow", {7, 90, {}}, {8, 3, {7}}, {8, 3, {7}}},
                      MergeCase{"aRestartHeardBefore", {8, 3, {7}}, {7, 95, {}}, {8, 3, {7}}},
                      MergeCase{"neitherKnowsTheOther", {7, 90, {5}}, {8, 3, {6}}, {8, 3, {5, 6}}},
                      MergeCase{"nothingKept", {}, {7, 1, {}}, {7, 1, {}}}),
    [](const ::testing::TestParamInfo<MergeCase>& info) { return std::string(info.param.name); });

struct CaptureCase {
    const char* name;
    const char* before;  // the file's contents before; nullptr: no file
    bool replace;        // --force
    const char* says;    // the refusal; "" when the capture is written
};

class CaptureFileTest : public ::testing::TestWithParam<CaptureCase> {};

// A capture holds the channel's authenticated traffic: it is this user's alone, and a file that
// exists is kept unless --force says to replace it.
TEST_P(CaptureFileTest, IsThisUsersAloneAndReplacesOnlyWhenTold) {
    const CaptureCase& c = GetParam();
    const auto dir =
        std::filesystem::temp_directory_path() / ("vireo-capture-" + std::string(c.name));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "link.pcap").string();
    if (c.before != nullptr) {
        std::ofstream(path) << c.before;
        ::chmod(path.c_str(), 0644);
    }
    const mode_t mask = ::umask(022);
    std::optional<std::string> problem;
    {
        host::CaptureFile capture;
        problem = capture.Open({path, c.replace});
    }
    ::umask(mask);
    std::ifstream in(path, std::ios::binary);
    const std::string after((std::istreambuf_iterator<char>(in)), {});
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    if (*c.says != '\0') {
        EXPECT_NE(problem.value_or("").find(path + " " + c.says), std::string::npos)
            << problem.value_or("written");
        EXPECT_EQ(after, c.before);
    } else {
        EXPECT_EQ(problem, std::nullopt) << *problem;
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        EXPECT_EQ(after.substr(0, 4), "\xD4\xC3\xB2\xA1");  // a pcap file, nothing of before
        EXPECT_EQ(after.size(), 24u);
    }
    std::filesystem::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(
    Files, CaptureFileTest,
    ::testing::Values(CaptureCase{"New", nullptr, false, ""},
                      CaptureCase{"ExistingKept", "earlier capture", false,
                                  "exists; --force replaces it"},
                      CaptureCase{"ExistingReplacedWithForce", "earlier capture", true, ""}),
    [](const ::testing::TestParamInfo<CaptureCase>& info) { return std::string(info.param.name); });

}  // namespace

// A router that goes away under an opened node: the call tells the plug-in that the node cannot
// be reached, and why, so that a page stops its routine there instead of retrying each call.
TEST(LinkUnreachableTest, AClosedPortAnswersUnreachableWithItsReason) {
    host::SimNode served;
    auto server = std::make_unique<ServedNode>(served, host::ServedFaults{});
    host::LinkSettings settings;
    settings.router = "127.0.0.1";
    settings.port = server->Port();
    settings.node.node = {1, 5};
    host::LonNode node(settings);
    ASSERT_EQ(host::OpenLinkedNode(node), std::nullopt);
    std::array<std::uint8_t, nv::kBufferSize> bytes{};
    EXPECT_EQ(node.ReadNv(nv::kPartSelector, bytes.data(), 31), S_OK);
    server.reset();
    EXPECT_EQ(node.ReadNv(nv::kPartSelector, bytes.data(), 31), NODE_E_UNREACHABLE);
    EXPECT_NE(node.LastProblem().find("; nothing listens on the router's port"), std::string::npos)
        << node.LastProblem();
}
