// The site file: what is written reads back the same; a broken file is refused with the line of
// the fault and its reason and stays as it was; the channel's secret stays out of it, in a file
// of this user's alone, as a key file must be; discovery's nodes go in as new, moved or seen
// again.

#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "framework/SafeFile.h"
#include "framework/SecretBytes.h"
#include "site/SiteDiscovery.h"
#include "site/SiteSecret.h"

namespace {

namespace fs = std::filesystem;

class SiteTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A folder of each case's own: ctest runs the cases side by side.
        dir = fs::temp_directory_path() / ("vireo-site-test-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
        site.name = "plant";
        site.links = {{1, "lonip://10.0.0.2:1628", 0, false},
                      {2, "lonip://10.0.0.3:1629", 1630, true, 5, 12}};
        site.domain = {1, {0x42}};
        site.nodes = {{"boiler", {5, 1, 2, 3, 4, 5}, {1, 5}, 1, "90 56 69 72 65 6F 4B 2A", ""},
                      {"tank", {5, 1, 2, 3, 4, 6}, {2, 7}, 2, "", "2026-12-08T09:30:00Z"}};
        site.timeSynced = true;
        site.configServer = "10.0.0.9:1629";
        site.configuration = host::SiteChannelConfiguration{
            "10.0.0.1",
            1629,
            1000,
            "2026-12-08T09:30:00Z",
            3'974'000'000u,
            {{"10.0.0.2:1628", "router", "acknowledged"}, {"10.0.0.1:1630", "this PC", "listed"}}};
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path dir;
    host::Site site;
};

TEST_F(SiteTest, WrittenSiteReadsBackTheSame) {
    ASSERT_EQ(host::CreateSite(host::SitePath("plant"), site), "");
    host::Site read;
    ASSERT_EQ(host::LoadNamedSite("plant", read), "");
    EXPECT_EQ(read, site);
    EXPECT_NE(host::CreateSite(host::SitePath("plant"), site), "") << "never over an existing site";
    std::string error;
    EXPECT_EQ(host::ListSites(error), std::vector<std::string>{"plant"});
}

struct Broken {
    const char* from;  // a line of the good file
    std::string to;    // what it becomes
    int line;
    const char* says;
};

class BrokenSiteTest : public SiteTest, public ::testing::WithParamInterface<Broken> {};

TEST_P(BrokenSiteTest, IsRefusedWithItsLineAndLeftAsItWas) {
    std::string text = host::SiteText(site);
    const std::size_t at = text.find(GetParam().from);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, std::strlen(GetParam().from), GetParam().to);
    const auto start = std::chrono::steady_clock::now();
    const std::string path = host::SitePath("plant");
    ASSERT_EQ(platform::ReplaceFile(path, text, true), "");
    host::Site read = site;
    read.name = "unchanged";
    const std::string problem = host::LoadSite(path, read);
    EXPECT_NE(problem.find(path + ":" + std::to_string(GetParam().line) + ": "), std::string::npos)
        << problem;
    EXPECT_NE(problem.find(GetParam().says), std::string::npos) << problem;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2))
        << "a refusal costs no more than reading the file";
    EXPECT_EQ(read.name, "unchanged");
    EXPECT_EQ(host::UpdateSite(path, [](host::Site& s) { s.nodes.clear(); }), problem);
    std::string after;
    ASSERT_EQ(platform::ReadWholeFile(path, after), "");
    EXPECT_EQ(after, text);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, BrokenSiteTest,
    ::testing::Values(
        Broken{"\"address\": \"2/7\"", "\"address\": \"2/200\"", 32, "node 1 to 127"},
        Broken{"\"channel\": 2,\n      \"lastSeen", "\"channel\": 3,\n      \"lastSeen", 33,
               "no link for channel 3"},
        Broken{"\"name\": \"tank\"", "\"name\": \"boiler\"", 30, "more than one node"},
        Broken{"\"url\": \"lonip://10.0.0.2:1628\"", "\"url\": \"http://x\"", 10,
               "is not lonip://"},
        Broken{"\"localPort\": 1630", "\"localport\": 1630", 15, "unknown field"},
        Broken{"\"neuronId\": \"05 01 02 03 04 06\"", "\"neuronId\": \"05 01 02 03 04 05\"", 31,
               "belongs to another node"},
        Broken{"\"domain\": \"42\",", "\"domain\": \"42\"", 5, "syntax error"},
        Broken{"\"vireoSite\": 1", "\"vireoSite\": 2", 2, "not a site file"},
        Broken{"\"timeSynced\": true", "\"timeSynced\": 1", 5, "is true or false"},
        Broken{"\"configServer\": \"10.0.0.9:1629\"", "\"configServer\": \"10.0.0.9\"", 6,
               "is not HOST:PORT"},
        Broken{"\"role\": \"router\"", "\"role\": \"gateway\"", 46, "is \"router\" or"},
        Broken{"\"serverPort\": 1629", "\"serverPort\": 0", 39, "whole number from 1"},
        Broken{"\"source\": \"1/126\",", "\"source\": \"1/126\",\n  \"source\": \"1/5\",", 4,
               "the site has \"source\" twice"},
        Broken{"\"name\": \"tank\",", "\"name\": \"tank\",\n      \"name\": \"pump\",", 31,
               "nodes/1 has \"name\" twice"},
        Broken{"\"address\": \"2/7\",\n      \"channel\": 2",
               "\"address\": \"1/5\",\n      \"channel\": 1", 32,
               "nodes boiler and tank are both at address 1/5 of channel 1"},
        // 200 KB of brackets: refused at the ninth, before the parser builds any more.
        Broken{"\"vireoSite\": 1",
               "\"vireoSite\": 1, \"x\": " + std::string(100000, '[') + std::string(100000, ']'), 2,
               "more than 8 deep"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(SiteTest, SecretStaysOutOfTheSiteInAFileOfThisUsersAlone) {
    const lon::Bytes secret(16, 0xA7);
    ASSERT_EQ(host::CreateSite(host::SitePath("plant"), site), "");
    ASSERT_EQ(host::SaveSecretFile("plant", secret), "");
    struct stat info {};
    ASSERT_EQ(::stat(host::SecretFilePath("plant").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    std::string text;
    ASSERT_EQ(platform::ReadWholeFile(host::SitePath("plant"), text), "");
    EXPECT_EQ(text.find("a7"), std::string::npos);
    EXPECT_EQ(text.find("A7"), std::string::npos);
}

struct SecretRead {
    const char* name;
    bool siteFile;  // the site's secret file, else a key file given by --auth-key-file
    mode_t mode;
    const char* says;  // the refusal; "" for a secret read
};

class SecretFileTest : public SiteTest, public ::testing::WithParamInterface<SecretRead> {};

// A secret in a file others may read may be known: refused, whichever file it is. A process
// that has read one makes no core dump from then on. Each case reads in a process of its own,
// so that the test's process stays as it was.
TEST_P(SecretFileTest, IsReadFromAFileOfThisUsersAloneAndKeptOutOfCoreDumps) {
    const lon::Bytes secret(16, 0xA7);
    ASSERT_EQ(host::SaveSecretFile("plant", secret), "");
    const std::string path =
        GetParam().siteFile ? host::SecretFilePath("plant") : (dir / "key.txt").string();
    if (!GetParam().siteFile) {
        std::ofstream(path) << "a7a7a7a7 a7a7a7a7 a7a7a7a7 a7a7a7a7\n";
    }
    ASSERT_EQ(::chmod(path.c_str(), GetParam().mode), 0);
    int said[2];
    ASSERT_EQ(::pipe(said), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dumpableBefore = ::prctl(PR_GET_DUMPABLE) == 1;
        platform::SecretBytes read;
        std::string problem;
        if (GetParam().siteFile) {
            problem = host::LoadSecretFile("plant", read);
        } else {
            problem = host::ReadSecretFile(path, read).value_or("");
        }
        struct rlimit core {};
        ::getrlimit(RLIMIT_CORE, &core);
        const bool kept = ::prctl(PR_GET_DUMPABLE) == 0 && core.rlim_cur == 0 && core.rlim_max == 0;
        (void)::write(said[1], problem.data(), problem.size());
        ::_exit(!dumpableBefore ? 3 : problem.empty() && (read != secret || !kept) ? 4 : 0);
    }
    ::close(said[1]);
    std::string problem;
    char buffer[512];
    for (ssize_t n; (n = ::read(said[0], buffer, sizeof buffer)) > 0;) {
        problem.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(said[0]);
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_NE(WEXITSTATUS(status), 3) << "the test's process makes no core dump already";
    EXPECT_NE(WEXITSTATUS(status), 4) << "the secret was not read, or the process may dump it";
    if (*GetParam().says == '\0') {
        EXPECT_EQ(problem, "");
    } else {
        EXPECT_NE(problem.find(path + " " + GetParam().says), std::string::npos) << problem;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, SecretFileTest,
    ::testing::Values(
        SecretRead{"KeyFileOfThisUserAlone", false, 0600, ""},
        SecretRead{"KeyFileOthersMayRead", false, 0644,
                   "may be read by others (chmod 600 it, and change the channel's secret"},
        SecretRead{"KeyFileTheGroupMayRead", false, 0640, "may be read by others"},
        SecretRead{"SiteSecretOfThisUserAlone", true, 0600, ""},
        SecretRead{"SiteSecretOthersMayRead", true, 0604, "may be read by others (chmod 600"}),
    [](const auto& info) { return std::string(info.param.name); });

// A node heard at the address of one that was not heard would make a file that cannot be read:
// it is not saved, and the file stays as it was.
TEST_F(SiteTest, AChangeThatPutsTwoNodesAtOneAddressIsNotSaved) {
    const std::string path = host::SitePath("plant");
    ASSERT_EQ(host::CreateSite(path, site), "");
    host::DiscoveredNode heard;
    heard.channel = 1;
    heard.found.identity.neuronId = {5, 1, 2, 3, 4, 9};
    heard.found.address = {1, 5};
    const std::string problem = host::UpdateSite(
        path, [&](host::Site& edited) { host::MergeDiscovered(edited, {heard}, "now"); });
    EXPECT_NE(problem.find("not saved"), std::string::npos) << problem;
    EXPECT_NE(problem.find("boiler and node-050102030409 are both at address 1/5 of channel 1"),
              std::string::npos)
        << problem;
    host::Site read;
    ASSERT_EQ(host::LoadSite(path, read), "");
    EXPECT_EQ(read.nodes, site.nodes);
}

TEST_F(SiteTest, DiscoveredNodesAreAddedMovedOrSeenAgain) {
    auto heard = [](int channel, lon::NeuronId id, lon::SubnetNode address) {
        host::DiscoveredNode node;
        node.channel = channel;
        node.found.identity.neuronId = id;
        node.found.address = address;
        return node;
    };
    const std::vector<host::DiscoveredNode> found = {
        heard(1, {5, 1, 2, 3, 4, 5}, {1, 5}),   // boiler, where it was
        heard(1, {5, 1, 2, 3, 4, 6}, {1, 9}),   // tank, moved to channel 1
        heard(2, {5, 1, 2, 3, 4, 7}, {2, 8})};  // new
    const host::SiteChanges changes = host::MergeDiscovered(site, found, "2026-12-08T10:00:00Z");
    EXPECT_EQ(changes.added, 1);
    EXPECT_EQ(changes.moved, 1);
    EXPECT_EQ(changes.seen, 1);
    ASSERT_EQ(site.nodes.size(), 3u);
    EXPECT_EQ(site.nodes[1].channel, 1);
    EXPECT_EQ(site.nodes[1].address, (lon::SubnetNode{1, 9}));
    EXPECT_EQ(site.nodes[1].name, "tank");
    EXPECT_EQ(site.nodes[2].name, "node-050102030407");
    EXPECT_EQ(site.nodes[2].lastSeen, "2026-12-08T10:00:00Z");
}

}  // namespace
