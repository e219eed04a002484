// A served site of two channels with several nodes each, reached over one shared channel per
// router: threads that read their own nodes at once each get their own node's values, discovery
// hears every node (a late one too), the channel's FT-10 time is shared by all its nodes, and a
// write over the wire lands in the node's state file.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "cli/LinkCommands.h"
#include "link/Discovery.h"
#include "link/LonNode.h"
#include "link/SharedChannel.h"
#include "lon/Ft10.h"
#include "lon/UdpDatagram.h"
#include "node/NodeVariableMap.h"
#include "sim/NodeStateFile.h"

namespace {

constexpr int kNodes = 7;  // four on channel 1, three on channel 2

class SiteChannelTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        // Each node's part 9 and NV 39 hold its own number.
        for (int i = 0; i < kNodes; ++i) {
            host::SimNode node;
            node.SetName("Node" + std::to_string(i));
            node.SetPart(9, host::Bytes(nv::kPartSize, static_cast<std::uint8_t>(i)));
            node.SetRaw(nv::kSwitchExt1, {0x00, static_cast<std::uint8_t>(i)});
            ASSERT_EQ(host::SaveNodeState(File(i), node, false), "");
        }
        std::ofstream(folder / "broken.json") << "{";
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string File(int i) const { return (folder / ("Node" + std::to_string(i) + ".json")); }

    // The routers are strict: they forward for the host's member port alone.
    void Serve(bool paced, std::vector<std::string> late = {}) {
        std::ostringstream err;
        host::SiteServeOptions options{folder.string(), 2, 0, paced, std::move(late), {}, {}, {}};
        options.routing.members = {"127.0.0.1:" + std::to_string(memberPort)};
        ASSERT_EQ(site.Start(options, err), 0);
        EXPECT_NE(err.str().find("skipped " + (folder / "broken.json").string()),
                  std::string::npos);
    }

    std::unique_ptr<host::SharedChannel> Router(std::size_t channel, bool member = true) {
        host::LinkSettings settings;
        settings.router = "127.0.0.1";
        settings.port = site.Channel(channel).Port();
        settings.localPort = member ? memberPort : 0;
        settings.retry = {6, 4};  // 64 ms a try
        auto router = std::make_unique<host::SharedChannel>(settings);
        EXPECT_EQ(router->Open(), std::nullopt);
        return router;
    }

    const host::SitePlace& Place(int i) const {
        for (const host::SitePlace& place : site.Places()) {
            if (site.Nodes()[place.node].name == "Node" + std::to_string(i)) {
                return place;
            }
        }
        throw std::out_of_range("no such node");
    }

    std::filesystem::path folder;
    host::ServedSite site;
    std::uint16_t memberPort = FreePort();

private:
    static std::uint16_t FreePort() {
        lon::SteadyClock clock;
        return lon::UdpDatagram(clock, "127.0.0.1", 0).LocalPort();
    }
};

// A strict router's nodes answer the member it was given; anyone else's packets are dropped and
// counted, and the host's line asks whether it is a member.
TEST_F(SiteChannelTest, OnlyTheChannelsMembersReachItsNodes) {
    Serve(false);
    for (const bool member : {true, false}) {
        auto router = Router(0, member);
        host::LonNode node(*router, {false, Place(0).address, {}}, "Node0");
        const std::optional<std::string> problem = node.Open();
        EXPECT_EQ(problem.has_value(), !member) << problem.value_or("");
        if (!member) {
            EXPECT_NE(problem->find("is this PC a member of the router's channel?"),
                      std::string::npos)
                << *problem;
        }
    }
    site.Stop();
    EXPECT_GT(site.NonMembers(), 0u);
}

// Sorted by name, node j sits on channel (j mod 2) + 1 as node (j div 2) + 1 of its subnet.
TEST_F(SiteChannelTest, PlacesNodesByNameAcrossTheChannels) {
    Serve(false);
    ASSERT_EQ(site.Places().size(), static_cast<std::size_t>(kNodes));
    for (int j = 0; j < kNodes; ++j) {
        EXPECT_EQ(Place(j).channel, j % 2 + 1);
        EXPECT_EQ(Place(j).address, (lon::SubnetNode{static_cast<std::uint8_t>(j % 2 + 1),
                                                     static_cast<std::uint8_t>(j / 2 + 1)}));
    }
    std::vector<host::SitePlace> twice;
    ASSERT_EQ(host::PlanSite({"A", "A"}, 1, twice), std::nullopt);
    EXPECT_NE(twice[0].neuronId, twice[1].neuronId);
    EXPECT_NE(host::PlanSite(std::vector<std::string>(128, "A"), 1, twice), std::nullopt);
}

// One thread a node of channel 1, all through one socket: each selects and reads its node's
// part 9 many times, and names its node by the node's name NV.
TEST_F(SiteChannelTest, ThreadsOnOneRouterEachReadTheirOwnNode) {
    Serve(false);
    const auto router = Router(0);
    std::vector<int> mine = {0, 2, 4, 6};
    std::vector<std::string> wrong(mine.size());
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < mine.size(); ++t) {
        threads.emplace_back([&, t] {
            host::LonNode node(*router, {false, Place(mine[t]).address});
            if (auto problem = node.Open()) {
                wrong[t] = *problem;
                return;
            }
            if (node.Name() != "Node" + std::to_string(mine[t])) {
                wrong[t] = "name " + node.Name();
            }
            for (int round = 0; round < 20 && wrong[t].empty(); ++round) {
                const std::array<std::uint8_t, 2> part = {0, 9};
                std::array<std::uint8_t, nv::kBufferSize> value{};
                if (node.WriteNv(nv::kPartSelector, part.data(), 2) != S_OK ||
                    node.ReadNv(nv::kPluginCnf, value.data(), nv::kBufferSize) != S_OK) {
                    wrong[t] = node.LastError();
                } else if (value[0] != mine[t] || value[30] != mine[t]) {
                    wrong[t] = "read node " + std::to_string(value[0]);
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (std::size_t t = 0; t < mine.size(); ++t) {
        EXPECT_EQ(wrong[t], "") << "Node" << mine[t];
    }
    EXPECT_EQ(router->Unclaimed(), 0u);
}

// Every configured node of the channel answers the query, the one 150 ms late too, each with
// its place; the other channel's nodes are not heard.
TEST_F(SiteChannelTest, DiscoveryHearsEveryNodeOfTheChannel) {
    Serve(false, {"Node3=150"});
    const auto router = Router(1);
    std::vector<host::FoundNode> found;
    ASSERT_EQ(host::DiscoverNodes(*router, lon::Millis(400), nullptr, found), std::nullopt);
    ASSERT_EQ(found.size(), 3u);
    for (const host::FoundNode& node : found) {
        const auto place = std::find_if(site.Places().begin(), site.Places().end(),
                                        [&](const auto& p) { return p.address == node.address; });
        ASSERT_NE(place, site.Places().end());
        EXPECT_EQ(place->channel, 2);
        EXPECT_EQ(place->neuronId, node.identity.neuronId);
    }
    EXPECT_EQ(found.back().address, Place(3).address);
}

// A write over the wire is in the node's state file; the paced channel counts the FT-10 time of
// every transaction of its nodes, the idle channel none.
TEST_F(SiteChannelTest, WritesReachTheStateFileAndPacingIsPerChannel) {
    Serve(true);
    const auto router = Router(0);
    const std::array<std::uint8_t, 2> value = {0x00, 0x42};
    for (const int i : {0, 2}) {
        host::LonNode node(*router, {false, Place(i).address}, "n");
        ASSERT_EQ(node.Open(), std::nullopt);
        ASSERT_EQ(node.WriteNv(nv::kSwitchExt1, value.data(), 2), S_OK) << node.LastError();
    }
    ASSERT_TRUE(site.Stop());
    for (const int i : {0, 2}) {
        host::SimNode saved;
        ASSERT_EQ(host::LoadNodeState(File(i), saved), "");
        EXPECT_EQ(saved.Raw(nv::kSwitchExt1), host::Bytes(value.begin(), value.end()));
    }
    host::SimNode untouched;
    ASSERT_EQ(host::LoadNodeState(File(4), untouched), "");
    EXPECT_EQ(untouched.Raw(nv::kSwitchExt1), (host::Bytes{0x00, 0x04}));
    // Each node's five transactions (select, query ID, unselect, the NV's configuration, its
    // update) are ten frames of eight bytes or more: two nodes' take more than twenty.
    EXPECT_GT(site.Channel(0).ChannelSeconds(), 20 * lon::Ft10FrameSeconds(8));
    EXPECT_EQ(site.Channel(1).ChannelSeconds(), 0.0);
}

}  // namespace
