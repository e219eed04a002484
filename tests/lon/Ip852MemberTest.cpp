#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "lon/Ip852.h"
#include "lon/Ip852Member.h"

namespace {

using lon::Bytes;
using lon::Ip852Endpoint;
using lon::Ip852Outgoing;

const Ip852Endpoint kServer{0x0A000001, 1628};
const Ip852Endpoint kRouter{0x0A000002, 1628};
const Ip852Endpoint kSelf{0x0A000009, 1628};
const Ip852Endpoint kStranger{0x0A000042, 1628};
const lon::Ip852Instant kNow{lon::Millis{1000}, 0xE9000000};

Bytes DeviceNaming(Ip852Endpoint server, std::uint32_t membershipDateTime) {
    lon::Ip852Device device;
    device.dateTime = 2;
    device.channelTimeout = 1500;
    device.unicast = kSelf;
    device.membershipDateTime = membershipDateTime;
    device.configServer = server;
    return lon::EncodeIp852Device(device);
}

Bytes MembershipOf(std::uint32_t dateTime, std::vector<Ip852Endpoint> members,
                   std::uint32_t routingDateTime = 7) {
    lon::Ip852Membership membership{dateTime, 0, {}};
    for (Ip852Endpoint member : members) {
        membership.members.push_back({member, routingDateTime});
    }
    return lon::EncodeIp852Membership(membership);
}

lon::Ip852ChannelRouting RoutingOf(Ip852Endpoint member, std::uint32_t dateTime) {
    lon::Ip852ChannelRouting routing =
        lon::Ip852NodeRouting(member, {1, 2, 3, 4, 5, static_cast<std::uint8_t>(member.address)},
                              {1, {0x4A}}, {1, static_cast<std::uint8_t>(member.address)});
    routing.dateTime = dateTime;
    return routing;
}

Bytes Request(std::uint16_t id, std::uint32_t address = 0) {
    return lon::EncodeIp852Request({1, 0, id, 0, 0, address});
}

struct Packet {
    std::uint8_t type;
    Bytes payload;
    Ip852Endpoint from;
};

struct MemberCase {
    const char* name;
    bool serverKnown;
    std::vector<Packet> before;  // delivered first, their answers not looked at
    Packet packet;
    std::vector<Ip852Outgoing> replies;
    std::uint64_t lon::Ip852MemberCounters::*counted;
    std::function<bool(const lon::Ip852Member&)> holds;
};

void PrintTo(const MemberCase& c, std::ostream* out) {
    *out << c.name;
}

MemberCase Row(const char* name, bool serverKnown, std::vector<Packet> before, Packet packet,
               std::vector<Ip852Outgoing> replies, std::uint64_t lon::Ip852MemberCounters::*counted,
               std::function<bool(const lon::Ip852Member&)> holds) {
    return {name,    serverKnown,     std::move(before), std::move(packet), std::move(replies),
            counted, std::move(holds)};
}

lon::Ip852Member MemberFor(bool serverKnown) {
    lon::Ip852MemberOptions options;
    options.self = kSelf;
    if (serverKnown) {
        options.configServer = kServer;
    }
    options.routing = RoutingOf(kSelf, 3);
    return lon::Ip852Member(options);
}

// An acknowledgement: the member's date-time now, the code, the request's id, segment 0.
Ip852Outgoing Ack(Ip852Endpoint to, std::uint8_t code, std::uint16_t id) {
    return {to,
            lon::kIp852Acknowledge,
            {0xE9, 0x00, 0x00, 0x00, code, static_cast<std::uint8_t>(id >> 8),
             static_cast<std::uint8_t>(id), 0x00}};
}

Ip852Outgoing OwnRoutingTo(Ip852Endpoint to) {
    lon::Ip852ChannelRouting routing = RoutingOf(kSelf, 3);
    return {to, lon::kIp852ChannelRouting, lon::EncodeIp852ChannelRouting(routing)};
}

// The member's first request: every segment, request id 1, date-time now.
Ip852Outgoing MembershipRequestTo(Ip852Endpoint to) {
    return {to,
            lon::kIp852ChannelMembershipRequest,
            {0xE9, 0, 0, 0, lon::kIp852RequestAll, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}};
}

const Packet kMembership{lon::kIp852ChannelMembership, MembershipOf(10, {kRouter, kSelf}), kServer};

const std::vector<MemberCase> kMemberCases = {
    Row("deviceFromServer", true, {},
        {lon::kIp852DeviceConfiguration, DeviceNaming(kServer, 5), kServer},
        {Ack(kServer, 0, 0), OwnRoutingTo(kServer), MembershipRequestTo(kServer)},
        &lon::Ip852MemberCounters::applied,
        [](const auto& m) { return m.ChannelTimeout() == 1500 && m.ConfigServer() == kServer; }),
    Row("deviceFromStranger", true, {},
        {lon::kIp852DeviceConfiguration, DeviceNaming(kStranger, 5), kStranger}, {},
        &lon::Ip852MemberCounters::refused,
        [](const auto& m) { return m.ChannelTimeout() == 1000 && m.ConfigServer() == kServer; }),
    Row("deviceBeforeAnyServer", false, {},
        {lon::kIp852DeviceConfiguration, DeviceNaming(kServer, 5), kStranger},
        {Ack(kStranger, 0, 0), OwnRoutingTo(kServer), MembershipRequestTo(kServer)},
        &lon::Ip852MemberCounters::applied,
        [](const auto& m) { return m.ConfigServer() == kServer; }),
    Row("deviceMembershipNotNewer", true, {kMembership},
        {lon::kIp852DeviceConfiguration, DeviceNaming(kServer, 10), kServer}, {Ack(kServer, 0, 0)},
        &lon::Ip852MemberCounters::applied, [](const auto& m) { return m.IsMember(kRouter); }),
    Row("membershipFromServer", true, {}, kMembership, {}, &lon::Ip852MemberCounters::applied,
        [](const auto& m) { return m.IsMember(kRouter) && m.SendList() == std::vector{kRouter}; }),
    Row("membershipFromStranger", true, {},
        {lon::kIp852ChannelMembership, MembershipOf(10, {kRouter, kSelf}), kStranger}, {},
        &lon::Ip852MemberCounters::refused, [](const auto& m) { return !m.IsMember(kRouter); }),
    Row("membershipBeforeAnyServer", false, {},
        {lon::kIp852ChannelMembership, MembershipOf(10, {kRouter, kSelf}), kStranger}, {},
        &lon::Ip852MemberCounters::applied, [](const auto& m) { return m.IsMember(kRouter); }),
    Row("membershipTruncated", true, {},
        {lon::kIp852ChannelMembership,
         Bytes(kMembership.payload.begin(), kMembership.payload.end() - 1), kServer},
        {}, &lon::Ip852MemberCounters::malformed,
        [](const auto& m) { return !m.IsMember(kRouter); }),
    Row("membershipTwice", true, {},
        {lon::kIp852ChannelMembership, MembershipOf(10, {kRouter, kRouter}), kServer}, {},
        &lon::Ip852MemberCounters::malformed, [](const auto& m) { return !m.IsMember(kRouter); }),
    Row("membershipOlder", true, {kMembership},
        {lon::kIp852ChannelMembership, MembershipOf(9, {kSelf}), kServer}, {},
        &lon::Ip852MemberCounters::stale,
        [](const auto& m) { return m.MembershipDateTime() == 10 && m.IsMember(kRouter); }),
    Row("membershipSameDateTime", true, {kMembership},
        {lon::kIp852ChannelMembership, MembershipOf(10, {kSelf}), kServer}, {},
        &lon::Ip852MemberCounters::current, [](const auto& m) { return m.IsMember(kRouter); }),
    Row("sendListFromServer", true, {kMembership},
        {lon::kIp852SendList, lon::EncodeIp852SendList({3, {kStranger}}), kServer}, {},
        &lon::Ip852MemberCounters::applied,
        [](const auto& m) { return m.SendList() == std::vector{kStranger}; }),
    Row("routingOfMember", true, {kMembership},
        {lon::kIp852ChannelRouting, lon::EncodeIp852ChannelRouting(RoutingOf(kRouter, 7)), kServer},
        {}, &lon::Ip852MemberCounters::applied,
        [](const auto& m) { return m.RoutingOf(kRouter) == RoutingOf(kRouter, 7); }),
    Row("routingDisagreesWithMembership", true,
        {kMembership,
         {lon::kIp852ChannelRouting, lon::EncodeIp852ChannelRouting(RoutingOf(kRouter, 7)),
          kServer}},
        {lon::kIp852ChannelRouting, lon::EncodeIp852ChannelRouting(RoutingOf(kRouter, 8)), kServer},
        {Ack(kServer, 2, 0)}, &lon::Ip852MemberCounters::stale,
        [](const auto& m) { return m.RoutingOf(kRouter) == RoutingOf(kRouter, 7); }),
    Row("requestMembershipHeld", true, {kMembership},
        {lon::kIp852ChannelMembershipRequest, Request(0x42), kStranger},
        {{kStranger, lon::kIp852ChannelMembership, kMembership.payload}},
        &lon::Ip852MemberCounters::answered, [](const auto&) { return true; }),
    Row("requestMembershipNoneHeld", true, {},
        {lon::kIp852ChannelMembershipRequest, Request(0x42), kRouter}, {Ack(kRouter, 4, 0x42)},
        &lon::Ip852MemberCounters::answered, [](const auto&) { return true; }),
    Row("requestOwnRouting", true, {},
        {lon::kIp852ChannelRoutingRequest, Request(1003, kSelf.address), kRouter},
        {OwnRoutingTo(kRouter)}, &lon::Ip852MemberCounters::answered,
        [](const auto&) { return true; }),
};

class Ip852MemberTest : public testing::TestWithParam<MemberCase> {};

TEST_P(Ip852MemberTest, TakesWhatItsServerSaysAndAnswers) {
    const MemberCase& c = GetParam();
    lon::Ip852Member member = MemberFor(c.serverKnown);
    for (const Packet& p : c.before) {
        member.Handle(p.type, p.payload, p.from, kNow);
    }
    const std::uint64_t counted = member.Counters().*c.counted;
    const auto replies = member.Handle(c.packet.type, c.packet.payload, c.packet.from, kNow);
    EXPECT_EQ(replies, c.replies);
    EXPECT_EQ(member.Counters().*c.counted, counted + 1);
    EXPECT_TRUE(c.holds(member));
}

INSTANTIATE_TEST_SUITE_P(Packets, Ip852MemberTest, testing::ValuesIn(kMemberCases),
                         [](const testing::TestParamInfo<MemberCase>& info) {
                             return info.param.name;
                         });

std::vector<Ip852Endpoint> Endpoints(std::size_t count) {
    std::vector<Ip852Endpoint> endpoints;
    for (std::size_t i = 0; i < count; ++i) {
        endpoints.push_back({0x0A010000 + static_cast<std::uint32_t>(i), 1628});
    }
    return endpoints;
}

// The segments of a 256-member membership, as the server sends them: 7 of them.
std::vector<Bytes> MembershipSegments(std::uint32_t dateTime, std::uint16_t requestId = 5) {
    std::vector<Bytes> segments;
    for (const Ip852Outgoing& out :
         lon::Ip852Packets(kSelf, lon::kIp852ChannelMembership,
                           MembershipOf(dateTime, Endpoints(256)), requestId)) {
        segments.push_back(out.payload);
    }
    return segments;
}

struct SegmentCase {
    const char* name;
    std::vector<std::pair<std::uint32_t, std::size_t>> order;  // date-time, segment
    std::size_t members;                                       // held afterwards
    std::uint32_t dateTime;
};

void PrintTo(const SegmentCase& c, std::ostream* out) {
    *out << c.name;
}

std::vector<std::pair<std::uint32_t, std::size_t>> InOrder(std::uint32_t dateTime,
                                                           std::vector<std::size_t> segments) {
    std::vector<std::pair<std::uint32_t, std::size_t>> order;
    for (std::size_t segment : segments) {
        order.emplace_back(dateTime, segment);
    }
    return order;
}

template <typename T>
std::vector<T> Then(std::vector<T> a, const std::vector<T>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class Ip852SegmentsTest : public testing::TestWithParam<SegmentCase> {};

TEST_P(Ip852SegmentsTest, PutsTheMembershipBackTogether) {
    lon::Ip852Member member = MemberFor(true);
    std::map<std::uint32_t, std::vector<Bytes>> segments;
    for (const auto& [dateTime, segment] : GetParam().order) {
        if (!segments.contains(dateTime)) {
            segments[dateTime] = MembershipSegments(dateTime);
        }
        EXPECT_TRUE(
            member.Handle(lon::kIp852Segment, segments[dateTime][segment], kServer, kNow).empty());
    }
    EXPECT_EQ(member.Members().size(), GetParam().members);
    EXPECT_EQ(member.MembershipDateTime(), GetParam().dateTime);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, Ip852SegmentsTest,
    testing::Values(
        SegmentCase{"inOrder", InOrder(10, {0, 1, 2, 3, 4, 5, 6}), 256, 10},
        SegmentCase{"shuffledAfterTheFirst", InOrder(10, {0, 3, 1, 6, 2, 5, 4}), 256, 10},
        SegmentCase{"repeatedSegment", InOrder(10, {0, 1, 1, 2, 3, 4, 5, 6}), 256, 10},
        SegmentCase{"oneMissing", InOrder(10, {0, 1, 2, 4, 5, 6}), 0, 0},
        SegmentCase{"firstComesLast", InOrder(10, {1, 2, 3, 4, 5, 6, 0}), 0, 0},
        SegmentCase{"laterDateTimeStartsOver",
                    Then(InOrder(10, {0, 1, 2}), InOrder(11, {0, 1, 2, 3, 4, 5, 6})), 256, 11},
        SegmentCase{"earlierDateTimeDropped",
                    Then(InOrder(11, {0, 1, 2}), InOrder(10, {3, 4, 5, 6})), 0, 0}),
    [](const testing::TestParamInfo<SegmentCase>& info) { return info.param.name; });

// A segment gone missing is asked for after 900 ms of quiet, with the request's type and id; a
// partial packet quiet for 10 s is dropped.
TEST(Ip852Segments, AsksForTheMissingOneAndDropsStaleOnes) {
    lon::Ip852Member member = MemberFor(true);
    const std::vector<Bytes> segments = MembershipSegments(10);
    for (std::size_t i : {0, 1, 2, 4, 5, 6}) {
        member.Handle(lon::kIp852Segment, segments[i], kServer, kNow);
    }
    EXPECT_TRUE(member.Tick({kNow.steady + lon::Millis{899}, kNow.dateTime}).empty());
    const auto asked = member.Tick({kNow.steady + lon::Millis{900}, kNow.dateTime});
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].to, kServer);
    EXPECT_EQ(asked[0].type, lon::kIp852ChannelMembershipRequest);
    EXPECT_EQ(lon::DecodeIp852Request(asked[0].payload),
              (lon::Ip852Request{10, lon::kIp852RequestAll, 5, 3, 0, 0}));
    member.Handle(lon::kIp852Segment, segments[3], kServer, kNow);
    EXPECT_EQ(member.Members().size(), 256u);

    lon::Ip852Member quiet = MemberFor(true);
    quiet.Handle(lon::kIp852Segment, segments[0], kServer, kNow);
    quiet.Tick({kNow.steady + lon::Millis{10001}, kNow.dateTime});
    EXPECT_EQ(quiet.Counters().segmentsDropped, 1u);
    for (std::size_t i = 1; i < segments.size(); ++i) {
        quiet.Handle(lon::kIp852Segment, segments[i], kServer, kNow);
    }
    EXPECT_TRUE(quiet.Members().empty());
}

TEST(Ip852Member, RegistersWithAStableDateTime) {
    lon::Ip852Member member = MemberFor(false);
    EXPECT_FALSE(member.Register(kNow));
    member.SetConfigServer(kServer);
    const auto first = member.Register(kNow);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->to, kServer);
    EXPECT_EQ(first->type, lon::kIp852DeviceRegistration);
    const auto device = lon::DecodeIp852Device(first->payload);
    ASSERT_TRUE(device);
    EXPECT_EQ(device->unicast, kSelf);
    EXPECT_EQ(device->configServer, kServer);
    EXPECT_EQ(device->dateTime, kNow.dateTime);
    // Nothing changed: the same date-time, even an hour on; a new membership: a later one.
    EXPECT_EQ(member.Register({kNow.steady, kNow.dateTime + 3600})->payload, first->payload);
    member.Handle(kMembership.type, kMembership.payload, kServer, kNow);
    EXPECT_EQ(lon::DecodeIp852Device(member.Register(kNow)->payload)->dateTime, kNow.dateTime + 1);
}

// A channel run in memory: the server and a member of this layer for each endpoint, what each
// sends delivered to the other, the clock stepped a second at a time.
enum class Peer { Answers, Silent, RefusesDevice, NoSendLists };

struct ServerCase {
    const char* name;
    std::map<Ip852Endpoint, Peer> peers;
    std::map<Ip852Endpoint, lon::Ip852MemberState> states;
    std::string reason;  // of the last member
};

void PrintTo(const ServerCase& c, std::ostream* out) {
    *out << c.name;
}

class Channel {
public:
    Channel(std::vector<Ip852Endpoint> members, std::map<Ip852Endpoint, Peer> peers)
        : peers_(std::move(peers)), server_(Options(members)) {
        for (Ip852Endpoint endpoint : members) {
            if (endpoint == kSelf) {
                continue;
            }
            lon::Ip852MemberOptions options;
            options.self = endpoint;
            options.routing = RoutingOf(endpoint, 0);
            members_.emplace(endpoint, lon::Ip852Member(options));
        }
    }

    void Run() {
        Deliver(server_.Start(Now()));
        for (int second = 0; second < 20 && !server_.Done(); ++second) {
            clock_ += lon::Millis{1000};
            Deliver(server_.Tick(Now()));
        }
    }

    lon::Ip852ConfigServer& Server() { return server_; }
    lon::Ip852Member& Member(Ip852Endpoint endpoint) { return members_.at(endpoint); }

private:
    static lon::Ip852ServerOptions Options(const std::vector<Ip852Endpoint>& members) {
        lon::Ip852ServerOptions options;
        options.self = kSelf;
        for (Ip852Endpoint member : members) {
            options.members.push_back({member, std::nullopt, ""});
        }
        options.members[0].routing = RoutingOf(kSelf, 0);
        return options;
    }

    lon::Ip852Instant Now() const { return {clock_, 0xE9000000 + unsigned(clock_.count() / 1000)}; }

    void Deliver(std::vector<Ip852Outgoing> toMembers) {
        while (!toMembers.empty()) {
            std::vector<Ip852Outgoing> toServer;
            for (const Ip852Outgoing& out : toMembers) {
                for (Ip852Outgoing& back : Answer(out)) {
                    toServer.push_back(std::move(back));
                }
            }
            toMembers.clear();
            for (const Ip852Outgoing& out : toServer) {
                for (Ip852Outgoing& next : server_.Handle(out.type, out.payload, out.to, Now())) {
                    toMembers.push_back(std::move(next));
                }
            }
        }
    }

    // A member's answers, each marked with the member it comes from.
    std::vector<Ip852Outgoing> Answer(const Ip852Outgoing& out) {
        const Peer peer = peers_.contains(out.to) ? peers_.at(out.to) : Peer::Answers;
        std::vector<Ip852Outgoing> answers;
        if (peer == Peer::Silent) {
            return answers;
        }
        if (peer == Peer::RefusesDevice && out.type == lon::kIp852DeviceConfiguration) {
            answers.push_back({kSelf, lon::kIp852Acknowledge, lon::EncodeIp852Ack({1, 3, 0, 0})});
        } else if (peer == Peer::NoSendLists && out.type == lon::kIp852SendListRequest) {
            const auto request = lon::DecodeIp852Request(out.payload);
            answers.push_back({kSelf, lon::kIp852Acknowledge,
                               lon::EncodeIp852Ack({1, 5, request->requestId, 0})});
        } else if (!(peer == Peer::NoSendLists && out.type == lon::kIp852SendList)) {
            answers = Member(out.to).Handle(out.type, out.payload, kSelf, Now());
        }
        for (Ip852Outgoing& answer : answers) {
            EXPECT_EQ(answer.to, kSelf);
            answer.to = out.to;
        }
        return answers;
    }

    std::map<Ip852Endpoint, Peer> peers_;
    lon::Ip852ConfigServer server_;
    std::map<Ip852Endpoint, lon::Ip852Member> members_;
    lon::Millis clock_{0};
};

const Ip852Endpoint kRouterB{0x0A000003, 1628};

class Ip852ServerTest : public testing::TestWithParam<ServerCase> {};

TEST_P(Ip852ServerTest, ConfiguresEachMemberOrNamesWhyNot) {
    Channel channel({kSelf, kRouter, kRouterB}, GetParam().peers);
    channel.Run();
    EXPECT_TRUE(channel.Server().Done());
    for (const auto& [endpoint, state] : GetParam().states) {
        const auto progress = channel.Server().ProgressOf(endpoint);
        ASSERT_TRUE(progress);
        EXPECT_EQ(progress->state, state) << lon::Ip852EndpointText(endpoint);
    }
    EXPECT_EQ(channel.Server().ProgressOf(kRouterB)->reason, GetParam().reason);
    // Whoever was configured holds the channel, sends to this PC and holds its routing.
    if (GetParam().states.at(kRouter) == lon::Ip852MemberState::Acknowledged) {
        lon::Ip852Member& router = channel.Member(kRouter);
        EXPECT_EQ(router.ConfigServer(), kSelf);
        EXPECT_TRUE(router.IsMember(kSelf));
        EXPECT_EQ(router.SendList(), (std::vector{kSelf, kRouterB}));
        EXPECT_TRUE(router.RoutingOf(kSelf));
        EXPECT_TRUE(router.RoutingAcknowledged());
    }
}

using State = lon::Ip852MemberState;

INSTANTIATE_TEST_SUITE_P(
    Channels, Ip852ServerTest,
    testing::Values(
        ServerCase{
            "allAnswer", {}, {{kRouter, State::Acknowledged}, {kRouterB, State::Acknowledged}}, ""},
        ServerCase{"oneNeverAnswers",
                   {{kRouterB, Peer::Silent}},
                   {{kRouter, State::Acknowledged}, {kRouterB, State::Failed}},
                   "10.0.0.3:1628 did not answer the device configuration after 4 sends"},
        ServerCase{"oneRefusesItsDeviceConfiguration",
                   {{kRouterB, Peer::RefusesDevice}},
                   {{kRouter, State::Acknowledged}, {kRouterB, State::Failed}},
                   "10.0.0.3:1628 refused the device configuration: cannot comply"},
        ServerCase{"oneIgnoresSendLists",
                   {{kRouterB, Peer::NoSendLists}},
                   {{kRouter, State::Acknowledged}, {kRouterB, State::Acknowledged}},
                   "send list taken unseen: the member does not show it"}),
    [](const testing::TestParamInfo<ServerCase>& info) { return info.param.name; });

struct AckCase {
    const char* name;
    Ip852Endpoint from;
    Bytes ack;
    std::vector<std::uint8_t> sent;  // the types the server sends on
    lon::Ip852Step step;
    lon::Ip852MemberState state;
    std::uint64_t lon::Ip852ServerCounters::*counted;  // nullptr: none
};

void PrintTo(const AckCase& c, std::ostream* out) {
    *out << c.name;
}

class Ip852AckTest : public testing::TestWithParam<AckCase> {};

// An acknowledgement counts only from the member it was asked of, and only for what was sent:
// the device configuration's is "ok" of request id 0, and the membership goes next with the
// request that shows it held (the member's device configuration).
TEST_P(Ip852AckTest, MatchesWhatWasSent) {
    lon::Ip852ServerOptions options;
    options.self = kSelf;
    options.members = {{kSelf, std::nullopt, ""}, {kRouter, std::nullopt, ""}};
    lon::Ip852ConfigServer server(options);
    const auto started = server.Start(kNow);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].to, kRouter);
    EXPECT_EQ(started[0].type, lon::kIp852DeviceConfiguration);
    const auto device = lon::DecodeIp852Device(started[0].payload);
    ASSERT_TRUE(device);
    EXPECT_EQ(device->configServer, kSelf);
    EXPECT_EQ(device->unicast, kRouter);
    EXPECT_EQ(device->membershipDateTime, server.Membership().dateTime);

    const lon::Ip852ServerCounters before = server.Counters();
    std::vector<std::uint8_t> sent;
    for (const Ip852Outgoing& out : server.Acknowledged(GetParam().from, GetParam().ack, kNow)) {
        sent.push_back(out.type);
    }
    EXPECT_EQ(sent, GetParam().sent);
    const auto progress = server.ProgressOf(kRouter);
    EXPECT_EQ(progress->step, GetParam().step);
    EXPECT_EQ(progress->state, GetParam().state);
    if (GetParam().counted != nullptr) {
        EXPECT_EQ(server.Counters().*GetParam().counted, before.*GetParam().counted + 1);
    }
}

using Step = lon::Ip852Step;

INSTANTIATE_TEST_SUITE_P(
    Acks, Ip852AckTest,
    testing::Values(AckCase{"okFromTheMember",
                            kRouter,
                            lon::EncodeIp852Ack({1, 0, 0, 0}),
                            {lon::kIp852ChannelMembership, lon::kIp852DeviceConfigurationRequest},
                            Step::ChannelMembership,
                            State::Sent,
                            nullptr},
                    AckCase{"okFromAStranger",
                            kStranger,
                            lon::EncodeIp852Ack({1, 0, 0, 0}),
                            {},
                            Step::DeviceConfiguration,
                            State::Sent,
                            &lon::Ip852ServerCounters::strangers},
                    AckCase{"okOfAnotherRequest",
                            kRouter,
                            lon::EncodeIp852Ack({1, 0, 77, 0}),
                            {},
                            Step::DeviceConfiguration,
                            State::Sent,
                            &lon::Ip852ServerCounters::ignored},
                    AckCase{"malformed",
                            kRouter,
                            Bytes(7, 0),
                            {},
                            Step::DeviceConfiguration,
                            State::Sent,
                            &lon::Ip852ServerCounters::malformed}),
    [](const testing::TestParamInfo<AckCase>& info) { return info.param.name; });

// Each router's own routing reaches the server, which keeps it, dates the membership by it and
// hands it to the other router.
TEST(Ip852ConfigServer, HandsOnTheRoutersOwnRoutings) {
    Channel channel({kSelf, kRouter, kRouterB}, {});
    channel.Run();
    const auto routing = channel.Member(kRouter).RoutingOf(kRouterB);
    ASSERT_TRUE(routing);
    EXPECT_EQ(routing, channel.Member(kRouterB).RoutingOf(kRouterB));
    const auto& members = channel.Server().Membership().members;
    const auto entry = std::ranges::find(members, kRouterB, &lon::Ip852MemberEntry::endpoint);
    ASSERT_NE(entry, members.end());
    EXPECT_EQ(entry->dateTime, routing->dateTime);
    EXPECT_EQ(channel.Member(kRouter).MembershipDateTime(), channel.Server().Membership().dateTime);
}

// A full channel: 256 members, the membership of each sent as segments and shown back as segments.
TEST(Ip852ConfigServer, ConfiguresAChannelOf256) {
    std::vector<Ip852Endpoint> members = Endpoints(255);
    members.insert(members.begin(), kSelf);
    Channel channel(members, {});
    channel.Run();
    for (const lon::Ip852MemberProgress& progress : channel.Server().Progress()) {
        EXPECT_EQ(progress.state, State::Acknowledged) << lon::Ip852EndpointText(progress.endpoint);
    }
    lon::Ip852Member& last = channel.Member(members.back());
    EXPECT_EQ(last.Members().size(), 256u);
    EXPECT_EQ(last.SendList().size(), 255u);
}

}  // namespace
