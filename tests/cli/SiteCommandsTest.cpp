// A site's commands against nodes served on 127.0.0.1, one router a channel: the factory
// defaults on a whole site where one router does not answer (its node fails, the others complete,
// and the secret of the authenticated channel shows nowhere), and discovery into the site, with a
// late answer.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/NetworkCommands.h"
#include "cli/SiteCommands.h"
#include "framework/SafeFile.h"
#include "link/LinkSettings.h"
#include "lon/UdpDatagram.h"
#include "serve/NodeServer.h"
#include "sim/OperationLock.h"
#include "site/SiteSecret.h"

namespace {

namespace fs = std::filesystem;

class SiteCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
               std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    }
    void TearDown() override {
        setenv("VIREO_HISTORY", "off", 1);
        fs::remove_all(dir);
    }

    // A link to a served node's port, with short tries: a served node answers at once.
    static host::SiteLink Link(int channel, std::uint16_t port, bool authenticated = false) {
        return {channel, "lonip://127.0.0.1:" + std::to_string(port), 0, authenticated, 2, 2};
    }

    static std::uint16_t ClosedPort() {
        lon::SteadyClock clock;
        return lon::UdpDatagram(clock, "127.0.0.1", 0).LocalPort();
    }

    fs::path dir;
};

TEST_F(SiteCommandsTest, ANodeWhoseRouterDoesNotAnswerFailsAloneAndTheSecretShowsNowhere) {
    const lon::Bytes secret(16, 0xA7);
    host::SimNode first;
    host::SimNode second;
    host::ServingThread one(first, {}, {.address = {1, 5}});
    host::ServingThread two(second, {}, {.address = {2, 5}}, {.secret = secret});
    host::Site site;
    site.name = "plant";
    site.links = {Link(1, one.Port()), Link(2, two.Port(), true), Link(3, ClosedPort())};
    const std::string id = host::ProgramIdText(first.GetProgramId());
    site.nodes = {{"boiler", {5, 1, 0, 0, 0, 1}, {1, 5}, 1, id, ""},
                  {"tank", {5, 1, 0, 0, 0, 2}, {2, 5}, 2, id, ""},
                  {"annex", {5, 1, 0, 0, 0, 3}, {3, 5}, 3, id, ""}};
    ASSERT_EQ(host::CreateSite(host::SitePath("plant"), site), "");
    ASSERT_EQ(host::SaveSecretFile("plant", secret), "");
    const std::string history = (dir / "history.sqlite").string();
    setenv("VIREO_HISTORY", history.c_str(), 1);

    host::NetworkOptions options;
    options.site = "plant";
    options.json = true;
    options.command.password = "Quorka";
    options.command.sleep = [](int) {};
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(host::RunNetworkDefaults(options, out, err), 1) << err.str();
    one.Stop();
    two.Stop();

    const auto summary = nlohmann::json::parse(out.str());
    std::map<std::string, std::string> results;
    for (const auto& node : summary["nodes"]) {
        results[node["node"]] =
            node["result"].get<std::string>() + ": " + node["message"].get<std::string>();
    }
    EXPECT_EQ(results["boiler"], "completed: Please restart the plugin");
    EXPECT_EQ(results["tank"], "completed: Please restart the plugin");
    EXPECT_NE(results["annex"].find("failed: node 3/5 did not answer"), std::string::npos)
        << results["annex"];
    EXPECT_EQ(summary["channels"].size(), 3u);

    for (const std::string& path : {host::SitePath("plant"), history}) {
        std::string bytes;
        ASSERT_EQ(platform::ReadWholeFile(path, bytes), "") << path;
        for (const char* text : {"a7a7", "A7A7", "a7 a7", "A7 A7", "\xA7\xA7\xA7\xA7"}) {
            EXPECT_EQ(bytes.find(text), std::string::npos) << path << " holds the secret";
        }
    }
    EXPECT_EQ((out.str() + err.str()).find("A7 A7"), std::string::npos);
}

// A channel carries as many nodes at once as it carries reads of a part (8.1 ms on FT-10,
// 9.9 ms with a six-byte domain) within the transmit timer.
TEST(NodesAtOnceOnChannelTest, FitTheTransmitTimer) {
    struct Case {
        std::uint8_t timerCode;
        std::uint8_t domainBytes;
        int atOnce;
    };
    for (const Case& c : {Case{10, 0, 63}, Case{10, 6, 51}, Case{2, 0, 3}, Case{0, 6, 1}}) {
        host::LinkSettings settings;
        settings.retry.transmitTimerCode = c.timerCode;
        settings.domain.length = c.domainBytes;
        EXPECT_EQ(host::NodesAtOnceOnChannel(settings), c.atOnce)
            << "timer " << int{c.timerCode} << ", domain " << int{c.domainBytes};
    }
}

// Ten nodes behind one router that paces them at the FT-10 rate, whose tries last 32 ms: run
// all at once, the last of them would be answered after their tries ran out; the channel's
// three at a time all complete.
TEST_F(SiteCommandsTest, ACrowdedChannelRunsWhatItCarriesAndEveryNodeCompletes) {
    constexpr int kNodes = 10;
    std::deque<host::SimNode> nodes(kNodes);
    std::vector<host::ChannelMember> members;
    host::Site site;
    site.name = "plant";
    for (int i = 1; i <= kNodes; ++i) {
        const auto n = static_cast<std::uint8_t>(i);
        const host::ServedIdentity identity{.address = {1, n}, .neuronId = {5, 1, 0, 0, 0, n}};
        members.push_back({&nodes[static_cast<std::size_t>(i - 1)], identity, {}});
        site.nodes.push_back({"boiler" + std::to_string(i), identity.neuronId, identity.address, 1,
                              host::ProgramIdText(nodes.front().GetProgramId()), ""});
    }
    host::ServingThread served(members, {.paced = true});
    site.links = {{1, "lonip://127.0.0.1:" + std::to_string(served.Port()), 0, false, 1, 2}};
    ASSERT_EQ(host::CreateSite(host::SitePath("plant"), site), "");
    setenv("VIREO_HISTORY", "off", 1);

    host::NetworkOptions options;
    options.site = "plant";
    options.outDir = (dir / "out").string();
    options.command.sleep = [](int) {};
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(host::RunNetworkExport(options, out, err), 0) << out.str();
    served.Stop();
    EXPECT_NE(err.str().find("Export of 10 nodes, 3 at a time"), std::string::npos) << err.str();
    EXPECT_NE(out.str().find("Channel 1: 10 of 10 nodes completed."), std::string::npos)
        << out.str();
}

// Another program of this PC on one node of the site: with --no-wait that node fails with the
// line that names its holder, untouched, and the others run.
TEST_F(SiteCommandsTest, ANodeInUseByAnotherProgramFailsAloneWithoutWaiting) {
    std::deque<host::SimNode> nodes(2);
    std::vector<host::ChannelMember> members;
    host::Site site;
    site.name = "plant";
    for (std::uint8_t n = 1; n <= 2; ++n) {
        const host::ServedIdentity identity{.address = {1, n}, .neuronId = {5, 1, 0, 0, 0, n}};
        members.push_back({&nodes[n - 1u], identity, {}});
        site.nodes.push_back({"boiler" + std::to_string(n), identity.neuronId, identity.address, 1,
                              host::ProgramIdText(nodes.front().GetProgramId()), ""});
    }
    host::ServingThread served(members, {});
    site.links = {{1, "lonip://127.0.0.1:" + std::to_string(served.Port()), 0, false, 1, 2}};
    ASSERT_EQ(host::CreateSite(host::SitePath("plant"), site), "");
    setenv("VIREO_HISTORY", "off", 1);
    host::LinkSettings first;
    first.router = "127.0.0.1";
    first.port = served.Port();
    first.domain = site.domain;
    first.node.node = {1, 1};
    host::OperationLock other("boiler1",
                              host::OperationLock::PathForLinkedNode(host::WireName(first)), {});
    ASSERT_TRUE(other.Acquire());

    host::NetworkOptions options;
    options.site = "plant";
    options.outDir = (dir / "out").string();
    options.command.sleep = [](int) {};
    options.command.noWait = true;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(host::RunNetworkExport(options, out, err), 1) << out.str();
    served.Stop();
    EXPECT_NE(out.str().find("is in use by process " + std::to_string(::getpid())),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("1 of 2 nodes completed"), std::string::npos) << out.str();
    EXPECT_FALSE(std::filesystem::exists(dir / "out" / "boiler1.txt"));
}

// Twelve new nodes heard, five kept: the site file gets five, the output says how many more
// were heard, and each kept node is asked its name once, though its answers come after the
// transmit timer (it keeps its Neuron ID as its name).
TEST_F(SiteCommandsTest, DiscoveryKeepsAtMostItsLimitOfNewNodesAndAsksEachNameOnce) {
    constexpr int kNodes = 12;
    std::deque<host::SimNode> nodes(kNodes);
    std::vector<host::ChannelMember> members;
    for (int i = 1; i <= kNodes; ++i) {
        const auto n = static_cast<std::uint8_t>(i);
        members.push_back({&nodes[static_cast<std::size_t>(i - 1)],
                           {.address = {1, n}, .neuronId = {5, 1, 0, 0, 0, n}, .configured = false},
                           {.late = lon::Millis(40)}});
    }
    host::ServingThread served(members, {});
    host::Site site;
    site.links = {{1, "lonip://127.0.0.1:" + std::to_string(served.Port()), 0, false, 3, 2}};
    ASSERT_EQ(host::CreateSite(host::SitePath("plant"), site), "");

    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(host::RunDiscoverSiteCommand("plant", 1, true, out, err, 5), 0) << err.str();
    served.Stop();
    host::Site saved;
    ASSERT_EQ(host::LoadNamedSite("plant", saved), "");
    EXPECT_EQ(saved.nodes.size(), 5u);
    EXPECT_NE(
        out.str().find("Site plant: 5 added, 0 moved, 0 seen again\n"
                       "7 more new nodes were heard and not kept: a discovery keeps at most 5 "
                       "new nodes; run it again for the others\n"),
        std::string::npos)
        << out.str();
    EXPECT_EQ(served.Repeats(), 0u);
}

TEST_F(SiteCommandsTest, DiscoveryKeepsEveryNodeThatAnswersLateOrSoon) {
    host::SimNode first;
    first.SetName("Boiler\x1b[2J");  // its name NV cannot drive the terminal
    host::SimNode second;
    const host::ServedIdentity fresh{.address = {1, 9}, .configured = false};
    host::ServedIdentity late = fresh;
    late.neuronId = {5, 1, 0, 0, 0, 9};
    second.SetProgramId({0x90, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01});  // no plug-in's
    host::ServingThread one(first, {}, fresh);
    host::ServingThread two(second, {.late = lon::Millis(300)}, late);
    host::Site site;
    site.links = {Link(1, one.Port()), Link(2, two.Port())};
    ASSERT_EQ(host::CreateSite(host::SitePath("plant"), site), "");

    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(host::RunDiscoverSiteCommand("plant", 1, true, out, err), 0) << err.str();
    one.Stop();
    two.Stop();
    host::Site saved;
    ASSERT_EQ(host::LoadNamedSite("plant", saved), "");
    ASSERT_EQ(saved.nodes.size(), 2u) << out.str();
    EXPECT_NE(host::FindByNeuronId(saved, late.neuronId), nullptr);
    EXPECT_EQ(host::FindByNeuronId(saved, late.neuronId)->channel, 2);
    EXPECT_NE(out.str().find("2 added"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("new: Boiler\\x1b[2J"), std::string::npos) << out.str();
    EXPECT_EQ((out.str() + err.str()).find('\x1b'), std::string::npos);
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("05 01")) {
            const bool foreign = line.starts_with("05 01 00 00 00 09");
            EXPECT_TRUE(line.ends_with(foreign ? "none" : "registered")) << line;
        }
    }
}

struct SiteNameCase {
    const char* name;
    int status;
    const char* says;  // by site new, and by site list where it was made
};

class SiteNameTest : public SiteCommandsTest, public ::testing::WithParamInterface<SiteNameCase> {};

// A site's name is shown as a node's is, its control characters escaped; a name that would hide
// its file is refused.
TEST_P(SiteNameTest, IsShownEscapedOrRefused) {
    host::SiteNewOptions options;
    options.name = GetParam().name;
    options.links = {"lonip://127.0.0.1"};
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(host::RunSiteNewCommand(options, out, err), GetParam().status) << err.str();
    if (GetParam().status == 0) {
        EXPECT_EQ(host::RunSiteListCommand(false, out, err), 0) << err.str();
    }
    const std::string said = out.str() + err.str();
    EXPECT_NE(said.find(GetParam().says), std::string::npos) << said;
    EXPECT_EQ(said.find('\x1b'), std::string::npos) << said;
    std::string error;
    EXPECT_EQ(host::ListSites(error).size(), GetParam().status == 0 ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SiteNameTest,
    ::testing::Values(SiteNameCase{"north\x1b[2J", 0, "Site north\\x1b[2J: 1 channel"},
                      SiteNameCase{"north\x1b]0;x", 0, "\nnorth\\x1b]0;x "},
                      SiteNameCase{".hidden", 2, "site name \".hidden\" starts with a dot"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

}  // namespace
