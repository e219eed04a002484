#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "lon/Channel.h"
#include "lon/Crc16.h"
#include "lon/NetworkManagement.h"
#include "lon/Transactions.h"

namespace {

using lon::Bytes;
using lon::Millis;
using lon::Packet;

class FakeClock final : public lon::Clock {
public:
    Millis Now() override { return now; }
    Millis now{1000};
};

// The network with one node behind it: what the link sends is decoded and handed to `answer`,
// whose datagrams arrive in order; with nothing left to deliver, waiting moves the clock to the
// deadline at once.
class FakeNetwork final : public lon::Datagram {
public:
    explicit FakeNetwork(FakeClock& clock) : clock_(clock) {}

    bool Send(lon::ByteView bytes) override {
        const lon::Ip852Datagram d = lon::DecodeIp852(bytes);
        sent.push_back(*lon::DecodeWithCrc(d.packets.at(0).payload));
        if (answer) {
            answer(sent.back(), static_cast<int>(sent.size()));
        }
        return true;
    }
    std::optional<Bytes> Receive(Millis deadline) override {
        if (inbox.empty()) {
            clock_.now = std::max(clock_.now, deadline);
            return std::nullopt;
        }
        Bytes next = std::move(inbox.front());
        inbox.pop_front();
        return next;
    }
    void Deliver(const Packet& p) {
        lon::Ip852Header h;
        h.session = 77;
        h.sequence = ++sequence_;
        inbox.push_back(lon::EncodeIp852(h, lon::EncodeWithCrc(p)));
    }

    std::optional<lon::Endpoint> LastSource() const override { return source; }

    std::function<void(const Packet&, int sends)> answer;
    std::optional<lon::Endpoint> source;  // where what arrives comes from
    std::vector<Packet> sent;
    std::deque<Bytes> inbox;

private:
    FakeClock& clock_;
    std::uint32_t sequence_ = 0;
};

constexpr lon::SubnetNode kSelf{1, 126};
constexpr lon::SubnetNode kNode{3, 4};

// The node's answer to a request: subnet/node addressed back to its sender.
Packet Answer(const Packet& request, lon::SubnetNode from, int transactionShift, Bytes apdu) {
    Packet p;
    p.format = request.format;
    p.type = request.format == lon::PduFormat::Session ? lon::kSpduResponse : lon::kTpduAck;
    p.address.source = from;
    p.address.destination = request.address.source;
    p.domain = request.domain;
    p.transaction = static_cast<std::uint8_t>((request.transaction + transactionShift) & 0x0F);
    p.body = std::move(apdu);
    return p;
}

struct Link {
    FakeClock clock;
    FakeNetwork network{clock};
    lon::Channel channel{network, clock, {}};
    lon::Transactions transactions{channel, clock, kSelf, {1, {0x42}}, {2, 4}};  // 64 ms
};

enum class NodeDoes {
    Answer,
    LoseFirstAnswer,
    AnswerWrongTransaction,
    AnswerFromOtherNode,
    Nothing
};

struct TransactionCase {
    const char* name;
    lon::Service service;
    NodeDoes node;
    bool completed;
    int tries;
    std::uint64_t late;  // answers from the node asked for another transaction
};

class TransactionTest : public testing::TestWithParam<TransactionCase> {};

TEST_P(TransactionTest, EndsWithTheRightAnswerOrAfterTheLastTry) {
    const TransactionCase& c = GetParam();
    Link link;
    const Bytes reply = c.service == lon::Service::Request ? Bytes{0x33, 44, 0x12} : Bytes{};
    link.network.answer = [&](const Packet& request, int sends) {
        switch (c.node) {
            case NodeDoes::Answer:
                return link.network.Deliver(Answer(request, kNode, 0, reply));
            case NodeDoes::LoseFirstAnswer:
                return sends > 1 ? link.network.Deliver(Answer(request, kNode, 0, reply)) : void();
            case NodeDoes::AnswerWrongTransaction:
                return link.network.Deliver(Answer(request, kNode, 1, reply));
            case NodeDoes::AnswerFromOtherNode:
                return link.network.Deliver(Answer(request, {3, 5}, 0, reply));
            case NodeDoes::Nothing:
                return;
        }
    };
    const Millis start = link.clock.now;
    const lon::Outcome outcome =
        link.transactions.Run({false, kNode, {}}, c.service, lon::NvFetchRequest(44));
    EXPECT_EQ(outcome.completed, c.completed);
    EXPECT_EQ(outcome.tries, c.tries);
    EXPECT_EQ(outcome.response, c.completed ? reply : Bytes{});
    EXPECT_EQ(link.transactions.LateAnswers(), c.late);
    // Every try is the same transaction: the same number and the same bytes.
    ASSERT_EQ(link.network.sent.size(), static_cast<std::size_t>(c.tries));
    for (const Packet& p : link.network.sent) {
        EXPECT_EQ(p, link.network.sent.front());
    }
    if (!c.completed) {
        EXPECT_EQ(link.clock.now - start, Millis(3 * 64));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, TransactionTest,
    testing::Values(
        TransactionCase{"request", lon::Service::Request, NodeDoes::Answer, true, 1, 0},
        TransactionCase{"acknowledged", lon::Service::Acknowledged, NodeDoes::Answer, true, 1, 0},
        TransactionCase{"retried", lon::Service::Request, NodeDoes::LoseFirstAnswer, true, 2, 0},
        TransactionCase{"ackRetried", lon::Service::Acknowledged, NodeDoes::LoseFirstAnswer, true,
                        2, 0},
        TransactionCase{"wrongTransaction", lon::Service::Request, NodeDoes::AnswerWrongTransaction,
                        false, 3, 3},
        TransactionCase{"wrongNode", lon::Service::Request, NodeDoes::AnswerFromOtherNode, false, 3,
                        0},
        TransactionCase{"silent", lon::Service::Acknowledged, NodeDoes::Nothing, false, 3, 0}),
    [](const testing::TestParamInfo<TransactionCase>& info) { return info.param.name; });

TEST(Transactions, ADuplicateAnswerNeverEndsTheNextTransaction) {
    Link link;
    link.network.answer = [&](const Packet& request, int sends) {
        if (sends == 1) {
            link.network.Deliver(Answer(request, kNode, 0, {0x33, 44, 1}));
            link.network.Deliver(Answer(request, kNode, 0, {0x33, 44, 1}));
        }
    };
    const lon::Target node{false, kNode, {}};
    EXPECT_TRUE(
        link.transactions.Run(node, lon::Service::Request, lon::NvFetchRequest(44)).completed);
    EXPECT_FALSE(
        link.transactions.Run(node, lon::Service::Request, lon::NvFetchRequest(45)).completed);
    EXPECT_EQ(link.transactions.IgnoredAnswers(), 1u);
}

TEST(Transactions, NumbersFollowEachDestination) {
    Link link;
    const Bytes apdu = lon::NvFetchRequest(1);
    link.transactions.Run({false, kNode, {}}, lon::Service::Request, apdu);
    link.transactions.Run({false, kNode, {}}, lon::Service::Request, apdu);
    link.transactions.Run({false, {3, 5}, {}}, lon::Service::Request, apdu);
    link.transactions.Run({true, {3, 0}, {1, 2, 3, 4, 5, 6}}, lon::Service::Request, apdu);
    std::vector<int> numbers;
    for (std::size_t i = 0; i < link.network.sent.size(); i += 3) {
        numbers.push_back(link.network.sent[i].transaction);
    }
    EXPECT_EQ(numbers, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(link.network.sent.back().address.kind, lon::AddressKind::NeuronId);
}

// 0 for the first transaction only; the 16th to one node is 15 and the 17th goes around to 1.
TEST(Transactions, NumbersWrapFrom15To1) {
    Link link;
    std::vector<int> numbers;
    for (int i = 0; i < 17; ++i) {
        link.network.answer = [&](const Packet& request, int) {
            link.network.Deliver(Answer(request, kNode, 0, {0x33, 1, 0}));
        };
        link.transactions.Run({false, kNode, {}}, lon::Service::Request, lon::NvFetchRequest(1));
        numbers.push_back(link.network.sent.back().transaction);
    }
    EXPECT_EQ(numbers.front(), 0);
    EXPECT_EQ(numbers[14], 14);
    EXPECT_EQ(numbers[15], 15);
    EXPECT_EQ(numbers[16], 1);
}

// Stale packets on a channel whose clock is synchronised, against a wall clock of the test's.
class FakeWall final : public lon::WallClock {
public:
    Millis SinceEpoch() override { return now; }
    Millis now{1'765'000'000'000};
};

struct StaleCase {
    const char* name;
    bool synced;
    std::int64_t stampedAgoMs;  // the packet's timestamp this long before our time; 0: none
    bool delivered;
};

class ChannelStaleTest : public testing::TestWithParam<StaleCase> {};

TEST_P(ChannelStaleTest, DropsOnlyWhatTheChannelTimeoutCalls) {
    const StaleCase& c = GetParam();
    FakeClock clock;
    FakeWall wall;
    FakeNetwork network{clock};
    lon::Channel::Options options;
    options.timeSynced = c.synced;
    options.wall = &wall;
    lon::Channel channel{network, clock, options};
    lon::Ip852Header h;
    h.session = 3;
    h.sequence = 1;
    h.timestamp =
        c.stampedAgoMs == 0 ? 0 : static_cast<std::uint32_t>(wall.now.count() - c.stampedAgoMs);
    network.inbox.push_back(
        lon::EncodeIp852(h, lon::EncodeWithCrc(Answer(Packet{}, kNode, 0, {0x7F}))));
    EXPECT_EQ(channel.Receive(clock.now + Millis(10)).has_value(), c.delivered);
    EXPECT_EQ(channel.Counters().stale, c.delivered ? 0u : 1u);
    // What we send carries the time only while our clock is synchronised.
    channel.Send(Answer(Packet{}, kNode, 0, {0x7F}));
    EXPECT_EQ(channel.Timestamp(), c.synced ? static_cast<std::uint32_t>(wall.now.count()) : 0u);
}

INSTANTIATE_TEST_SUITE_P(Timestamps, ChannelStaleTest,
                         testing::Values(StaleCase{"fiveSecondsOld", true, 5000, false},
                                         StaleCase{"fiveSecondsAhead", true, -5000, false},
                                         StaleCase{"stampedNow", true, 1, true},
                                         StaleCase{"withinTheTimeout", true, 1000, true},
                                         StaleCase{"justPastTheTimeout", true, 1001, false},
                                         StaleCase{"noTimestamp", true, 0, true},
                                         StaleCase{"oursNotSynchronised", false, 5000, true}),
                         [](const testing::TestParamInfo<StaleCase>& info) {
                             return info.param.name;
                         });

TEST(TransmitTimer, DoublesEveryTwoCodesWithTheOddOnesBetween) {
    const int expected[] = {16,  24,  32,  48,  64,   96,   128,  192,
                            256, 384, 512, 768, 1024, 1536, 2048, 3072};
    for (std::uint8_t code = 0; code < 16; ++code) {
        EXPECT_EQ(lon::TransmitTimer(code), Millis(expected[code])) << int{code};
    }
}

// Bad input on the channel: dropped, counted under its fault, never delivered.
struct DropCase {
    const char* name;
    std::function<Bytes(Bytes)> spoil;
    std::uint64_t lon::ChannelCounters::*counter;
};

class ChannelDropTest : public testing::TestWithParam<DropCase> {};

TEST_P(ChannelDropTest, DropsAndCounts) {
    Link link;
    Packet p = Answer(Packet{}, kNode, 0, {0x7F});
    link.network.Deliver(p);
    link.network.inbox.back() = GetParam().spoil(link.network.inbox.back());
    EXPECT_FALSE(link.channel.Receive(link.clock.now + Millis(10)));
    EXPECT_EQ(link.channel.Counters().*GetParam().counter, 1u);
    EXPECT_EQ(link.channel.Counters().received, 0u);
}

Bytes Flip(Bytes b, std::size_t at) {
    b[at] ^= 0x01;
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ChannelDropTest,
    testing::Values(
        DropCase{"crc", [](Bytes b) { return Flip(b, b.size() - 1); },
                 &lon::ChannelCounters::badCrc},
        DropCase{"notData", [](Bytes b) { return Flip(b, 3); }, &lon::ChannelCounters::foreign},
        DropCase{"notLonTalk", [](Bytes b) { return Flip(b, 5); }, &lon::ChannelCounters::foreign},
        DropCase{"truncated", [](Bytes b) { return Bytes(b.begin(), b.begin() + 12); },
                 &lon::ChannelCounters::malformed},
        DropCase{"shortLonTalk",
                 [](Bytes) {
                     return lon::EncodeIp852(lon::Ip852Header{}, lon::WithCrc(Bytes{0x00, 0x08}));
                 },
                 &lon::ChannelCounters::malformed},
        DropCase{"otherVersion",
                 [](Bytes b) {
                     b[2] = 2;
                     return b;
                 },
                 &lon::ChannelCounters::malformed},
        DropCase{"authenticatedUnknownSecret",
                 [](Bytes b) { return lon::EncodeIp852(lon::Ip852Header{}, b, Bytes(16, 7)); },
                 &lon::ChannelCounters::badDigest}),
    [](const testing::TestParamInfo<DropCase>& info) { return info.param.name; });

TEST(Channel, DropsARepeatedDatagram) {
    Link link;
    link.network.Deliver(Answer(Packet{}, kNode, 0, {0x7F}));
    link.network.inbox.push_back(link.network.inbox.back());
    EXPECT_TRUE(link.channel.Receive(link.clock.now + Millis(10)));
    EXPECT_FALSE(link.channel.Receive(link.clock.now + Millis(10)));
    EXPECT_EQ(link.channel.Counters().duplicates, 1u);
}

// Packets kept from earlier traffic and sent in again, by someone who could not sign new ones:
// a member's earlier session is never taken again, by this run or, from what it remembers, the
// next one.
struct ReplayCase {
    const char* name;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> heard;  // session, sequence
    bool nextRun;  // a new program, told what the one before heard
    std::pair<std::uint32_t, std::uint32_t> replayed;
    bool taken;
    bool fromAnother = false;  // the replay comes from another address than the member's
};

class ReplayTest : public testing::TestWithParam<ReplayCase> {};

TEST_P(ReplayTest, AnEarlierSessionNeverComesBack) {
    const ReplayCase& c = GetParam();
    Link link;
    const auto arrive = [&link](lon::Channel& channel, std::pair<std::uint32_t, std::uint32_t> at) {
        lon::Ip852Header h;
        h.session = at.first;
        h.sequence = at.second;
        link.network.inbox.push_back(
            lon::EncodeIp852(h, lon::EncodeWithCrc(Answer(Packet{}, kNode, 0, {0x7F}))));
        return channel.Receive(link.clock.now + Millis(10)).has_value();
    };
    for (const auto& packet : c.heard) {
        ASSERT_TRUE(arrive(link.channel, packet));
    }
    lon::Channel next{link.network, link.clock, {}};
    next.RememberMembers(link.channel.Members());
    if (c.fromAnother) {
        link.network.source = lon::Endpoint{0x0A000009, 1628};
    }
    EXPECT_EQ(arrive(c.nextRun ? next : link.channel, c.replayed), c.taken);
}

INSTANTIATE_TEST_SUITE_P(
    Replays, ReplayTest,
    testing::Values(
        ReplayCase{"sameSessionAgain", {{7, 1}, {7, 2}}, false, {7, 1}, false},
        ReplayCase{"earlierSessionAfterARestart", {{7, 5}, {8, 1}}, false, {7, 6}, false},
        ReplayCase{"sessionsInTurn", {{7, 5}, {8, 1}, {9, 1}}, false, {8, 2}, false},
        ReplayCase{"restartTaken", {{7, 5}}, false, {8, 1}, true},
        ReplayCase{"earlierRunSentToTheNext", {{7, 1}, {7, 2}}, true, {7, 2}, false},
        ReplayCase{"earlierSessionSentToTheNextRun", {{7, 1}, {8, 1}}, true, {7, 9}, false},
        ReplayCase{"nextRunTakesANewSession", {{7, 1}}, true, {8, 1}, true},
        ReplayCase{"copiedFromAnotherAddress", {{7, 1}}, false, {7, 5}, false, true},
        ReplayCase{"earlierRunFromAnotherAddress", {{7, 1}}, true, {7, 5}, false, true}),
    [](const testing::TestParamInfo<ReplayCase>& info) { return info.param.name; });

// Two programs that send from one address take their numbers from one count: one node never
// gets the same number from both in a row, so neither takes the other's answer as its own.
TEST(Transactions, SharedNumbersNeverRepeatToOneNode) {
    Link first;
    Link second;
    std::uint8_t count = 0;
    const auto shared = [&count] { return count = lon::NextTransaction(count); };
    first.transactions.ShareNumbers(shared);
    second.transactions.ShareNumbers(shared);
    std::vector<int> numbers;
    for (int i = 0; i < 20; ++i) {
        Link& link = i % 3 == 0 ? second : first;
        link.transactions.Run({false, kNode, {}}, lon::Service::Request, lon::NvFetchRequest(1));
        numbers.push_back(link.network.sent.back().transaction);
    }
    for (std::size_t i = 1; i < numbers.size(); ++i) {
        EXPECT_NE(numbers[i], numbers[i - 1]) << i;
        EXPECT_NE(numbers[i], 0) << i;
    }
}

}  // namespace
