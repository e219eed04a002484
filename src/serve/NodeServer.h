#pragma once
// The simulated node as a member of a LON/IP channel, alone or with many others on one channel:
// it answers NV fetch (its name too, as NV 46), query NV configuration, respond to query and
// query ID requests (respond to query also as an unacknowledged broadcast), takes NV updates to its
// input NVs by their unbound selectors, and sends its service pin message on request, all from and
// to the same node the in-process link uses. A repeated request (same sender and transaction
// number) gets the same answer again and is never applied twice. Faults on demand let the host's
// retries and failures be tried: packets dropped, answers sent twice or late, a selector refused,
// the node silent.

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "lon/Channel.h"
#include "lon/NetworkManagement.h"
#include "lon/UdpDatagram.h"
#include "serve/RouterMembership.h"
#include "sim/SimNode.h"

namespace host {

struct ServedFaults {
    int dropEvery = 0;         // every Nth packet to the node is lost; 0: none
    int dropPercent = 0;       // that share of the packets to the node is lost (seeded)
    int duplicateEvery = 0;    // every Nth answer goes out twice; 0: none
    int reorderEvery = 0;      // every Nth answer goes out after the next one; 0: none
    lon::Millis late{0};       // each answer leaves only this long after its request
    bool silent = false;       // the node answers nothing
    std::set<int> refusedNvs;  // NV updates to these NVs are not taken (never acknowledged)
    int answerBytes = 0;       // an NV fetch answers this many bytes of value; 0: the NV's own
    std::uint32_t seed = 1;
};

struct ServedIdentity {
    lon::SubnetNode address{1, 5};
    lon::NeuronId neuronId{0x05, 0x01, 0x56, 0x69, 0x72, 0x65};
    lon::Domain domain;
    bool configured = true;  // an unconfigured node answers a query ID of unconfigured nodes
};

// One simulated node as a member of a channel answers: what a packet for it asks, with its
// faults, and its service pin message. The channel it is served on sends what it answers.
class ServedNode {
public:
    ServedNode(SimNode& node, ServedIdentity identity, ServedFaults faults = {});

    // An answer and how it leaves: this many copies, or kept back to go after the next answer.
    struct Reply {
        lon::Packet packet;
        int copies = 1;
        bool holdBack = false;
    };

    // Whether the packet is addressed to this node: its subnet/node, its Neuron ID, or a
    // broadcast to its subnet or the whole domain.
    bool ForThisNode(const lon::Packet& packet) const;
    // The answer to a packet for this node, or nothing where it sends none.
    std::optional<Reply> Answer(const lon::Packet& packet);
    // The node's service pin message, broadcast to the whole domain.
    lon::Packet ServicePin() const;

    const ServedIdentity& Identity() const { return identity_; }
    lon::Millis Late() const { return faults_.late; }
    std::uint64_t Dropped() const { return dropped_; }
    std::uint64_t Repeats() const { return repeats_; }

private:
    struct Remembered {
        lon::Packet request;
        std::optional<lon::Packet> answer;  // nothing: the request was not taken
    };

    bool Lost();
    std::optional<lon::Packet> AnswerNew(const lon::Packet& packet);
    // The answer's APDU to a request, or nothing where the node stays silent.
    std::optional<lon::Bytes> AnswerRequest(lon::ByteView apdu);
    std::optional<lon::Bytes> Fetch(std::uint16_t index, lon::ByteView apdu);
    bool TakeUpdate(lon::ByteView apdu);
    lon::Packet AnswerPacket(const lon::Packet& request, lon::Bytes apdu) const;
    Reply Leaving(lon::Packet answer);

    SimNode& node_;
    ServedIdentity identity_;
    ServedFaults faults_;
    std::mt19937 random_;
    bool selected_ = false;
    std::uint64_t arrived_ = 0;
    std::uint64_t answers_ = 0;
    std::uint64_t dropped_ = 0;
    std::uint64_t repeats_ = 0;
    std::map<std::pair<int, int>, Remembered> last_;  // by sender's subnet and node
};

// The simulated nodes of one channel: each packet that arrives goes to every node it is
// addressed to, and their answers leave one after the other, as on one twisted-pair channel.
class ChannelServer {
public:
    ChannelServer(lon::Channel& channel, lon::Clock& clock);

    // Serves the node too (not owned; it must outlive the server).
    void Add(ServedNode& node) { nodes_.push_back(&node); }
    // Forwards only for the members it names (not owned; it must outlive the server), and sends
    // its service pins to them; without one, for everyone, and service pins to the peer.
    void SetMembership(RouterMembership& membership);

    // Answers what arrives until the clock reaches the deadline.
    void ServeUntil(lon::Millis deadline);
    // Every node's service pin message.
    void SendServicePins();

    // Each answer leaves only once the channel carried the request and the answer at the FT-10
    // channel's pace, one transaction after the other for all the channel's nodes, as nodes
    // behind a router answer.
    void PaceAsFt10() { paced_ = true; }
    // The channel's time the paced transactions took.
    double ChannelSeconds() const { return channelSeconds_; }

    std::uint64_t Dropped() const;
    std::uint64_t Repeats() const;

private:
    struct Pending {
        lon::Packet packet;
        std::optional<lon::Bytes> frame;  // numbered already: an answer kept back
        lon::Endpoint to;                 // the sender of the request it answers
    };

    void Handle(const lon::Packet& packet, const lon::Endpoint& from);
    lon::Millis Due(const lon::Packet& request, bool requestCarried, const lon::Packet& answer,
                    lon::Millis late);
    void Send(ServedNode::Reply reply, lon::Millis due, const lon::Endpoint& to);
    void SendDue();

    lon::Channel& channel_;
    lon::Clock& clock_;
    std::vector<ServedNode*> nodes_;
    RouterMembership* membership_ = nullptr;
    bool paced_ = false;
    double channelSeconds_ = 0;
    double channelFreeMs_ = 0;                     // when the channel is free again, on the clock
    std::multimap<lon::Millis, Pending> pending_;  // by when each answer is due
    std::optional<Pending> held_;                  // an answer kept back to go out after the next
};

// One node on a channel of its own.
class NodeServer {
public:
    NodeServer(SimNode& node, lon::Channel& channel, lon::Clock& clock, ServedIdentity identity,
               ServedFaults faults = {});

    void ServeUntil(lon::Millis deadline) { server_.ServeUntil(deadline); }
    void SendServicePin() { server_.SendServicePins(); }
    void PaceAsFt10() { server_.PaceAsFt10(); }
    void SetMembership(RouterMembership& membership) { server_.SetMembership(membership); }
    double ChannelSeconds() const { return server_.ChannelSeconds(); }
    std::uint64_t Dropped() const { return node_.Dropped(); }
    std::uint64_t Repeats() const { return node_.Repeats(); }

private:
    ServedNode node_;
    ChannelServer server_;
};

// How a served node's channel runs: at the FT-10 pace or at once, and with the channel's MD5
// secret or none.
struct ServedChannel {
    bool paced = false;
    lon::Bytes secret;
    // Who the router forwards for; open here, for tests of everything but membership (the
    // served router of the command line is strict).
    RouterRules rules{.open = true, .members = {}};
    bool timeSynced = false;  // stamps its packets and judges others' by their timestamps
};

// A node of a served channel: the simulated node (not owned), its identity and its faults.
struct ChannelMember {
    SimNode* node = nullptr;
    ServedIdentity identity;
    ServedFaults faults;
};

// Nodes served on one UDP port of 127.0.0.1 (0: a free one) by a thread of their own, until
// stopped. A node is touched by that thread only while a request to it is being answered, that
// is while the host's call on the other side waits for it.
class ServingThread {
public:
    ServingThread(SimNode& node, const ServedFaults& faults, ServedIdentity identity = {},
                  ServedChannel channel = {});
    // Throws std::system_error when the port cannot be had.
    ServingThread(const std::vector<ChannelMember>& members, ServedChannel channel,
                  std::uint16_t port = 0);
    ~ServingThread();
    ServingThread(const ServingThread&) = delete;
    ServingThread& operator=(const ServingThread&) = delete;

    void Stop();
    // Every node sends its service pin message, from the serving thread.
    void PressServicePins() { pins_ = true; }
    std::uint16_t Port() const { return udp_.LocalPort(); }
    std::uint64_t Repeats() const { return server_.Repeats(); }
    // Read once stopped.
    double ChannelSeconds() const { return server_.ChannelSeconds(); }
    std::uint64_t Dropped() const { return server_.Dropped(); }
    // Data packets from senders that are no members, dropped; read once stopped.
    std::uint64_t NonMembers() const { return channel_.Counters().nonMembers; }
    // Data packets whose timestamp was too far from the router's clock, dropped.
    std::uint64_t Stale() const { return channel_.Counters().stale; }

private:
    lon::SteadyClock clock_;
    lon::UdpDatagram udp_;
    lon::Channel channel_;
    RouterMembership membership_;
    std::deque<ServedNode> nodes_;
    ChannelServer server_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> pins_{false};
    std::thread thread_;
};

}  // namespace host
