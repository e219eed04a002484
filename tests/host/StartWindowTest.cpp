// The start window over site files, discovery into a site file from a node served at 127.0.0.1,
// and a site's secret kept in a file of its own where no secret store runs.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QSettings>
#include <QTimer>
#include <QTreeWidget>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/stat.h>
#include <unistd.h>

#include "framework/ScriptedDesktop.h"
#include "host/NodeChoice.h"
#include "host/SecretStore.h"
#include "host/StartWindow.h"
#include "serve/NodeServer.h"
#include "site/Site.h"
#include "site/SiteSecret.h"

namespace {

namespace fs = std::filesystem;
using host::StartWindow;

class StartWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("vireo-start-" + std::to_string(getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString((folder / "settings").string()));
        fs::create_directories(host::SitesFolder());
        platform::Desktop::SetCurrent(&desktop);
        // No secret store: a site's secret is in its file.
        const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
        sessionBus_ = bus != nullptr ? bus : "";
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    void TearDown() override {
        if (!sessionBus_.empty()) {
            setenv("DBUS_SESSION_BUS_ADDRESS", sessionBus_.c_str(), 1);
        }
        platform::Desktop::SetCurrent(nullptr);
        fs::remove_all(folder);
    }

    static host::SiteNode Node(const char* name, std::uint8_t id, const std::string& programId) {
        return {.name = name,
                .neuronId = {0x05, 0x01, 0x02, 0x03, 0x04, id},
                .address = {1, id},
                .programId = programId};
    }
    static void MakeSite(const std::string& name, const std::string& url,
                         std::vector<host::SiteNode> nodes) {
        host::Site site{.name = name, .links = {{.channel = 1, .url = url}}};
        site.nodes = std::move(nodes);
        ASSERT_EQ(host::CreateSite(host::SitePath(name), site), "");
    }
    // Discovery on the site, listening 300 ms, until it has ended.
    static void Discover(StartWindow& window, const std::string& site) {
        window.SetListenTime(lon::Millis(300));
        QEventLoop loop;
        window.discoveryEnded = [&loop](const std::string&) { loop.quit(); };
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);  // a guard, not a wait
        window.Discover(site);
        loop.exec();
    }
    static std::string Text(const fs::path& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path folder;
    platform::ScriptedDesktop desktop;

private:
    std::string sessionBus_;
};

// A row by its place in the tree: top-level index, then child index (-1: the top-level row).
struct Cell {
    int top;
    int child;
    StartWindow::Column column;
    const char* text;
};

TEST_F(StartWindowTest, ListsRecentNodesFirstThenTheSimulatedNodeAndEachSiteWithItsNodes) {
    const std::string controller = host::ProgramIdText(host::ControllerProgramId());
    MakeSite("alpha", "lonip://127.0.0.1:1629",
             {Node("Boiler", 3, controller), Node("Other", 4, "80 00 00 00 00 00 00 01")});
    MakeSite("beta", "lonip://127.0.0.1:1630", {Node("Tank", 7, controller)});
    std::ofstream(host::SitePath("broken")) << "{\n  \"links\": [\n";
    host::RememberNode(host::SiteNodeKey("beta", "Tank"));

    StartWindow window((folder / "node.json").string(), "", [](const std::string&) { return ""; });
    const QTreeWidget& tree = *window.Tree();
    ASSERT_EQ(tree.topLevelItemCount(), 5);
    const std::vector<Cell> cells = {
        {0, -1, StartWindow::kNode, "Recent"},
        {0, 0, StartWindow::kNode, "beta/Tank"},
        {0, 0, StartWindow::kAddress, "1/7"},
        {1, -1, StartWindow::kNode, "Simulated node"},
        {2, -1, StartWindow::kNode, "alpha"},
        {2, -1, StartWindow::kAddress, "lonip://127.0.0.1:1629"},
        {2, 0, StartWindow::kNode, "Boiler"},
        {2, 0, StartWindow::kChannel, "1"},
        {2, 0, StartWindow::kPlugin, "registered"},
        {2, 1, StartWindow::kNode, "Other"},
        {2, 1, StartWindow::kPlugin, "none"},
        {2, -1, StartWindow::kPlugin, "routers not configured"},
        {3, 0, StartWindow::kNode, "Tank"},
    };
    for (const Cell& cell : cells) {
        SCOPED_TRACE(cell.text);
        const QTreeWidgetItem* row = tree.topLevelItem(cell.top);
        ASSERT_NE(row, nullptr);
        if (cell.child >= 0) {
            row = row->child(cell.child);
            ASSERT_NE(row, nullptr);
        }
        EXPECT_EQ(row->text(cell.column).toStdString(), cell.text);
    }
    // The broken file is one row that says where it went wrong; the others are listed.
    EXPECT_TRUE(tree.topLevelItem(4)->text(0).startsWith(
        "broken: " + QString::fromStdString(host::SitePath("broken")) + ":"))
        << tree.topLevelItem(4)->text(0).toStdString();
}

TEST_F(StartWindowTest, KeepsTheTenLastOpenedNodesMostRecentFirstAndAFailedOpenIsTold) {
    for (int i = 0; i < 12; ++i) {
        host::RememberNode(host::SiteNodeKey("alpha", "N" + std::to_string(i)));
    }
    host::RememberNode(host::SiteNodeKey("alpha", "N5"));
    const std::vector<std::string> recent = host::RecentNodes();
    ASSERT_EQ(recent.size(), 10u);
    EXPECT_EQ(recent[0], "alpha/N5");
    EXPECT_EQ(recent[1], "alpha/N11");
    EXPECT_EQ(recent[9], "alpha/N2");

    std::string opened;
    StartWindow window((folder / "node.json").string(), "", [&](const std::string& key) {
        opened = key;
        return std::string("router 127.0.0.1:1629 did not answer");
    });
    window.Open(window.Tree()->topLevelItem(0));
    EXPECT_EQ(opened, host::SimulatedKey((folder / "node.json").string()));
    EXPECT_EQ(desktop.MessageTexts(),
              std::vector<std::string>{"router 127.0.0.1:1629 did not answer"});
}

// A node that cannot be reached is told by its line before any packet leaves, and is not
// remembered as opened.
TEST_F(StartWindowTest, ANodeThatCannotBeReachedSaysWhyAndIsNotRemembered) {
    MakeSite("alpha", "lonip://127.0.0.1:1629", {Node("Boiler", 3, "")});
    host::Site locked{
        .name = "locked",
        .links = {{.channel = 1, .url = "lonip://127.0.0.1:1629", .authenticated = true}},
        .nodes = {Node("Door", 4, "")}};
    ASSERT_EQ(host::CreateSite(host::SitePath("locked"), locked), "");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"alpha/Nobody", "the site alpha has no node named Nobody"},
        {"nowhere/Boiler", "there is no site nowhere"},
        {"locked/Door", host::SecretFilePath("locked")},
        {"lonip://127.0.0.1:1629", "no node after the router"},
        {"lonip://127.0.0.1:99999 1/5", "port"},
        {"lonip://127.0.0.1:1629 1/200", "1/200"},
    };
    for (const auto& [key, says] : cases) {
        SCOPED_TRACE(key);
        const std::string error = host::OpenNodeByKey(key, 1);
        EXPECT_NE(error.find(says), std::string::npos) << error;
    }
    EXPECT_TRUE(host::RecentNodes().empty());
    EXPECT_TRUE(host::RecentLinks().empty());
}

TEST_F(StartWindowTest, DiscoverAddsTheNodeHeardOnTheSitesChannelToTheListAndTheSiteFile) {
    host::SimNode node;
    host::ServingThread served(
        node, {},
        {.address = {2, 3}, .neuronId = {0x05, 0x01, 0x0A, 0x0B, 0x0C, 0x0D}, .configured = false});
    MakeSite("gamma", "lonip://127.0.0.1:" + std::to_string(served.Port()), {Node("Known", 9, "")});

    StartWindow window((folder / "node.json").string(), "gamma",
                       [](const std::string&) { return ""; });
    Discover(window, "gamma");

    host::Site site;
    ASSERT_EQ(host::LoadNamedSite("gamma", site), "");
    ASSERT_EQ(site.nodes.size(), 2u);
    const host::SiteNode& heard = site.nodes[1];
    EXPECT_EQ(heard.neuronId, (lon::NeuronId{0x05, 0x01, 0x0A, 0x0B, 0x0C, 0x0D}));
    EXPECT_EQ(heard.address, (lon::SubnetNode{2, 3}));
    EXPECT_EQ(heard.programId, host::ProgramIdText(host::ControllerProgramId()));
    EXPECT_FALSE(heard.lastSeen.empty());
    const QTreeWidgetItem* row = window.Tree()->topLevelItem(1)->child(1);
    ASSERT_NE(row, nullptr) << window.Status().toStdString();
    EXPECT_EQ(row->text(StartWindow::kNode).toStdString(), heard.name + "  (new)");
    EXPECT_EQ(row->text(StartWindow::kPlugin).toStdString(), "registered");
    EXPECT_EQ(window.Tree()->topLevelItem(1)->child(0)->text(StartWindow::kNode), "Known");
}

// Discovery keeps at most the new nodes its limit allows, and its message says how many more
// were heard.
TEST_F(StartWindowTest, DiscoverSaysHowManyNewNodesItLeftOut) {
    std::deque<host::SimNode> nodes(3);
    std::vector<host::ChannelMember> members;
    for (std::uint8_t i = 1; i <= 3; ++i) {
        members.push_back({&nodes[i - 1],
                           {.address = {2, i}, .neuronId = {5, 1, 0, 0, 0, i}, .configured = false},
                           {}});
    }
    host::ServingThread served(members, {});
    MakeSite("gamma", "lonip://127.0.0.1:" + std::to_string(served.Port()), {});

    StartWindow window((folder / "node.json").string(), "gamma",
                       [](const std::string&) { return ""; });
    window.SetDiscoveryLimits({.mostNew = 1});
    Discover(window, "gamma");

    host::Site site;
    ASSERT_EQ(host::LoadNamedSite("gamma", site), "");
    EXPECT_EQ(site.nodes.size(), 1u);
    EXPECT_NE(
        window.Status().toStdString().find(
            "2 more new nodes were heard and not kept: a discovery keeps at most 1 new nodes"),
        std::string::npos)
        << window.Status().toStdString();
}

// A site whose strict router has not listed this PC is marked; "Configure routers" makes this PC
// a member, and the mark goes.
TEST_F(StartWindowTest, ConfigureRoutersMakesThisPcAMemberOfTheSitesChannel) {
    host::SimNode node;
    host::ServingThread served(node, {}, {}, {.rules = {}});
    MakeSite("delta", "lonip://127.0.0.1:" + std::to_string(served.Port()), {});
    StartWindow window((folder / "node.json").string(), "delta",
                       [](const std::string&) { return ""; });
    const auto mark = [&window] {
        const auto rows = window.Tree()->findItems("delta", Qt::MatchExactly);
        return rows.size() == 1 ? rows[0]->text(StartWindow::kPlugin).toStdString() : "no row";
    };
    ASSERT_EQ(mark(), "routers not configured");
    QEventLoop loop;
    window.configurationEnded = [&loop](const std::string&) { loop.quit(); };
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);  // a guard, not a wait
    window.Configure("delta");
    loop.exec();
    EXPECT_NE(window.Status().toStdString().find("2 of 2 members configured"), std::string::npos)
        << window.Status().toStdString();
    EXPECT_EQ(mark(), "");
}

TEST_F(StartWindowTest, WithoutASessionBusTheSecretGoesToAFileOfThisUserOnly) {
    MakeSite("delta", "lonip://127.0.0.1:1629", {});
    const lon::Bytes secret = {0xA5, 0x5A, 0x13, 0x37, 0xC0, 0xDE, 0xBE, 0xEF,
                               0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    std::string where;
    EXPECT_EQ(host::SaveSiteSecret("delta", secret, where), "");
    platform::SecretBytes loaded;
    EXPECT_EQ(host::LoadSiteSecret("delta", loaded), "");
    EXPECT_EQ(loaded, secret);
    EXPECT_EQ(where, host::SecretFilePath("delta"));
    struct stat info {};
    ASSERT_EQ(stat(where.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600);
    const std::string siteText = Text(host::SitePath("delta"));
    EXPECT_EQ(siteText.find("A5"), std::string::npos);
    EXPECT_EQ(siteText.find("a5"), std::string::npos);
}

}  // namespace
