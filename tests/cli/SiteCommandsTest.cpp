// A site's commands against nodes served on 127.0.0.1, one router a channel: the factory
// defaults on a whole site where one router does not answer (its node fails, the others complete,
// and the secret of the authenticated channel shows nowhere), and discovery into the site, with a
// late answer.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/NetworkCommands.h"
#include "cli/SiteCommands.h"
#include "framework/SafeFile.h"
#include "link/NodeServer.h"
#include "lon/UdpDatagram.h"
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
