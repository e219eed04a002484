// This PC as the configuration server of a site whose served routers are as strict as real ones:
// before `vireo site configure` nothing of this PC reaches their nodes; after it, discovery and
// the export go through. A router that never answers is reported by name while the others are
// configured, one whose secret differs fails as authentication, and a capture of the run decodes
// in a packet analyser as configuration packets, each device configuration acknowledged.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
#include <thread>

#include "cli/LinkCommands.h"
#include "cli/NetworkCommands.h"
#include "cli/SiteCommands.h"
#include "link/LonNode.h"
#include "link/SharedChannel.h"
#include "lon/Ip852Member.h"
#include "lon/UdpDatagram.h"
#include "serve/NodeServer.h"
#include "serve/RouterMembership.h"
#include "sim/NodeStateFile.h"
#include "site/SiteSecret.h"

namespace {

namespace fs = std::filesystem;

class SiteConfigureTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
               std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "net");
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
        setenv("VIREO_HISTORY", "off", 1);
        options.retryAfter = lon::Millis(40);
        options.capture.path = (dir / "configure.pcap").string();
    }
    void TearDown() override { fs::remove_all(dir); }

    // The three nodes of a strict served site on two channels.
    void Serve() {
        for (const char* name : {"boiler-1", "boiler-2", "tank"}) {
            host::SimNode node;
            node.SetName(name);
            ASSERT_EQ(host::SaveNodeState((dir / "net" / (std::string(name) + ".json")).string(),
                                          node, false),
                      "");
        }
        std::ostringstream err;
        host::SiteServeOptions serve{(dir / "net").string(), 2, 0, false, {}, {}, {}, {}};
        ASSERT_EQ(served.Start(serve, err), 0) << err.str();
    }

    std::string Url(std::size_t channel) const {
        return "lonip://127.0.0.1:" + std::to_string(served.Channel(channel).Port());
    }

    int Run(const std::function<int(std::ostream&, std::ostream&)>& command) {
        std::ostringstream out;
        std::ostringstream err;
        const int status = command(out, err);
        said = out.str() + err.str();
        return status;
    }

    int Discover() {
        return Run([](std::ostream& out, std::ostream& err) {
            return host::RunDiscoverSiteCommand("north", 1, true, out, err);
        });
    }

    fs::path dir;
    host::ServedSite served;
    host::ConfigureOptions options;
    std::string said;
};

// The fields of a capture, one row a packet: source port, destination port, CN/IP type.
std::vector<std::string> Decoded(const std::string& capture, std::uint16_t port) {
    const std::string command = "tshark -r " + capture + " -d udp.port==" + std::to_string(port) +
                                ",cnip -T fields -E separator=, -e udp.srcport -e cnip.type "
                                "2>/dev/null";
    std::vector<std::string> rows;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char line[128];
        while (std::fgets(line, sizeof line, pipe) != nullptr) {
            rows.emplace_back(line, std::strcspn(line, "\n"));
        }
        ::pclose(pipe);
    }
    return rows;
}

TEST_F(SiteConfigureTest, StrictRoutersTakeThisPcOnlyOnceConfigured) {
    Serve();
    lon::SteadyClock clock;
    const std::uint16_t silent = lon::UdpDatagram(clock, "127.0.0.1", 0).LocalPort();
    host::SiteNewOptions made{"north", {Url(0), Url(1)}, "1/126", "", 0, "", false, ""};
    ASSERT_EQ(Run([&](auto& out, auto& err) { return host::RunSiteNewCommand(made, out, err); }),
              0);

    // Not a member yet: the routers drop what this PC sends.
    EXPECT_EQ(Discover(), 0) << said;
    EXPECT_NE(said.find("No node answered"), std::string::npos) << said;

    // A third router that never answers fails by name; the two others take the configuration.
    host::Site site;
    ASSERT_EQ(host::LoadNamedSite("north", site), "");
    ASSERT_EQ(host::UpdateSite(
                  host::SitePath("north"),
                  [&](host::Site& s) {
                      s.links.push_back({3, "lonip://127.0.0.1:" + std::to_string(silent), 0});
                  }),
              "");
    EXPECT_EQ(Run([&](auto& out, auto& err) {
                  return host::RunSiteConfigureCommand("north", options, out, err);
              }),
              1);
    EXPECT_NE(said.find(Url(0).substr(8) + " (router, channel 1): acknowledged"), std::string::npos)
        << said;
    EXPECT_NE(said.find(Url(1).substr(8) + " (router, channel 2): acknowledged"), std::string::npos)
        << said;
    EXPECT_NE(said.find("127.0.0.1:" + std::to_string(silent) +
                        " (router, channel 3): failed: 127.0.0.1:" + std::to_string(silent) +
                        " did not answer the device configuration"),
              std::string::npos)
        << said;
    ASSERT_EQ(host::LoadNamedSite("north", site), "");
    ASSERT_TRUE(site.configuration);
    EXPECT_FALSE(host::SiteChannelConfigured(site));
    for (const host::SiteLink& link : site.links) {
        EXPECT_NE(link.localPort, 0) << "channel " << link.channel << " got a member port";
    }

    // Members now: discovery finds the three nodes and the export of all of them completes.
    EXPECT_EQ(Discover(), 0) << said;
    EXPECT_NE(said.find("3 added"), std::string::npos) << said;
    host::NetworkOptions exportAll;
    exportAll.site = "north";
    exportAll.outDir = (dir / "out").string();
    exportAll.command.sleep = [](int) {};
    EXPECT_EQ(
        Run([&](auto& out, auto& err) { return host::RunNetworkExport(exportAll, out, err); }), 0)
        << said;

    // The next run configures from the same port, which the routers now take alone.
    const int serverPort = site.configuration->serverPort;
    ASSERT_EQ(host::UpdateSite(host::SitePath("north"), [](host::Site& s) { s.links.pop_back(); }),
              "");
    options.capture.replace = true;  // the capture of the first run, as --force replaces it
    EXPECT_EQ(Run([&](auto& out, auto& err) {
                  return host::RunSiteConfigureCommand("north", options, out, err);
              }),
              0)
        << said;
    ASSERT_EQ(host::LoadNamedSite("north", site), "");
    EXPECT_EQ(site.configuration->serverPort, serverPort);
    EXPECT_TRUE(host::SiteChannelConfigured(site));
    served.Stop();
    EXPECT_GT(served.NonMembers(), 0u);  // the first discovery's queries

    if (std::system("command -v tshark >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "tshark is not installed; the capture is not checked";
    }
    // Each router acknowledges its device configuration; every packet is a configuration one.
    std::map<std::string, int> configured;
    std::map<std::string, int> acknowledged;
    const std::string server = std::to_string(serverPort);
    for (const std::string& row :
         Decoded(options.capture.path, static_cast<std::uint16_t>(serverPort))) {
        const std::string port = row.substr(0, row.find(','));
        const std::string type = row.substr(row.find(',') + 1);
        EXPECT_NE(type, "0x01") << "a data packet in the configuration: " << row;
        if (port == server && type == "0x71") {
            ++configured[type];
        }
        if (port != server && type == "0x07") {
            ++acknowledged[port];
        }
    }
    EXPECT_EQ(configured["0x71"], 2);  // one a router on the second run
    EXPECT_EQ(acknowledged.size(), 2u);
}

// What stops a configuration before a packet goes out, and a router whose secret differs.
TEST_F(SiteConfigureTest, RefusesMixedSecretsAndTellsAnAuthenticationFailure) {
    host::SimNode node;
    host::ServedChannel strict{false, lon::Bytes(16, 0x11), {}, false};
    host::ServingThread router(node, {}, {}, strict);
    host::Site site;
    site.name = "south";
    site.links = {{1, "lonip://127.0.0.1:" + std::to_string(router.Port()), 0, true}};
    ASSERT_EQ(host::CreateSite(host::SitePath("south"), site), "");
    ASSERT_EQ(host::SaveSecretFile("south", lon::Bytes(16, 0x22)), "");
    options.capture = {};
    options.retries = 1;
    EXPECT_EQ(Run([&](auto& out, auto& err) {
                  return host::RunSiteConfigureCommand("south", options, out, err);
              }),
              1);
    EXPECT_NE(said.find("(router, channel 1): failed: 127.0.0.1:" + std::to_string(router.Port()) +
                        " did not answer the device configuration after 2 sends; if it is there, "
                        "the channel's secret may differ"),
              std::string::npos)
        << said;

    ASSERT_EQ(host::UpdateSite(host::SitePath("south"),
                               [](host::Site& s) {
                                   s.links.push_back({2, "lonip://127.0.0.1:9", 0, false});
                               }),
              "");
    EXPECT_EQ(Run([&](auto& out, auto& err) {
                  return host::RunSiteConfigureCommand("south", options, out, err);
              }),
              1);
    EXPECT_NE(said.find("mark every link of the site authenticated or none"), std::string::npos)
        << said;
}

// `vireo site register` against a configuration server of the channel's own: each link's member
// registers and is configured; a link whose port is "any" cannot be.
TEST_F(SiteConfigureTest, RegistersEachLinkWithTheSitesConfigurationServer) {
    lon::SteadyClock clock;
    lon::UdpDatagram udp(clock, "127.0.0.1", 0);
    udp.AcceptAnyone();
    const lon::Endpoint self{0x7F000001, udp.LocalPort()};
    const std::uint16_t memberPort = lon::FreeUdpPort(0x7F000001);
    lon::Ip852ConfigServer server({self, {{self}, {{0x7F000001, memberPort}}}});
    lon::Channel channel(udp, clock, {});
    // Configured once before the member listens: its registration starts it over.
    server.Start(host::Ip852Now(clock.Now()));
    channel.SetControl([&](const lon::Ip852Packet& packet, const lon::Endpoint& from) {
        for (const lon::Ip852Outgoing& out :
             server.Handle(packet.header.type, packet.payload, from, host::Ip852Now(clock.Now()))) {
            channel.SendControl(out.type, out.payload, out.to);
        }
    });
    std::atomic<bool> stop{false};
    std::thread serving([&] {
        while (!stop) {
            channel.Receive(clock.Now() + lon::Millis(20));
        }
    });
    host::Site site;
    site.name = "east";
    site.configServer = "127.0.0.1:" + std::to_string(self.port);
    site.links = {{1, "lonip://127.0.0.1:9", memberPort}, {2, "lonip://127.0.0.1:10", 0}};
    ASSERT_EQ(host::CreateSite(host::SitePath("east"), site), "");
    EXPECT_EQ(
        Run([](auto& out, auto& err) { return host::RunSiteRegisterCommand("east", 2, out, err); }),
        1);
    stop = true;
    serving.join();
    EXPECT_NE(
        said.find("Channel 1: registered; configured by 127.0.0.1:" + std::to_string(self.port)),
        std::string::npos)
        << said;
    EXPECT_NE(said.find("Channel 2: not registered: its local port is \"any\""), std::string::npos)
        << said;
}

// While a link runs, this PC takes its configuration from the configuration server the site
// names, acknowledges it and applies it; the same from anyone else is not taken.
TEST_F(SiteConfigureTest, ALinkTakesItsConfigurationFromTheSitesServerAlone) {
    host::SimNode node;
    host::ServingThread router(node, {});
    lon::SteadyClock clock;
    lon::UdpDatagram serverSocket(clock, "127.0.0.1", 0);
    lon::UdpDatagram strangerSocket(clock, "127.0.0.1", 0);
    serverSocket.AcceptAnyone();
    lon::Channel server(serverSocket, clock, {});
    lon::Channel stranger(strangerSocket, clock, {});
    host::LinkSettings settings;
    settings.router = "127.0.0.1";
    settings.port = router.Port();
    settings.localPort = lon::FreeUdpPort(0x7F000001);
    settings.configServer = lon::Endpoint{0x7F000001, serverSocket.LocalPort()};
    host::SharedChannel channel(settings);
    ASSERT_EQ(channel.Open(), std::nullopt);

    const lon::Endpoint member{0x7F000001, settings.localPort};
    lon::Ip852Device device;
    device.dateTime = 100;
    device.unicast = member;
    device.channelTimeout = 250;
    device.configServer = *settings.configServer;
    stranger.SendControl(lon::kIp852DeviceConfiguration,
                         lon::EncodeIp852Device({.dateTime = 200, .channelTimeout = 9000}), member);
    server.SendControl(lon::kIp852DeviceConfiguration, lon::EncodeIp852Device(device), member);
    host::LonNode linked(channel, {false, {1, 5}, {}}, "Boiler");
    ASSERT_EQ(linked.Open(), std::nullopt);

    ASSERT_NE(channel.Member(), nullptr);
    EXPECT_EQ(channel.Member()->Member().ChannelTimeout(), 250);
    int acknowledged = 0;
    server.SetControl([&](const lon::Ip852Packet& packet, const lon::Endpoint& from) {
        acknowledged += packet.header.type == lon::kIp852Acknowledge && from == member ? 1 : 0;
    });
    server.Receive(clock.Now() + lon::Millis(200));
    EXPECT_EQ(acknowledged, 1);
    router.Stop();
}

}  // namespace
