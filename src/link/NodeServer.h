#pragma once
// The simulated node as a member of a LON/IP channel: it answers NV fetch, query NV
// configuration, respond to query and query ID requests, takes NV updates to its input NVs by
// their unbound selectors, and sends its service pin message on request, all from and to the
// same node the in-process link uses. A repeated request (same sender and transaction number)
// gets the same answer again and is never applied twice. Faults on demand let the host's retries
// and failures be tried: packets dropped, answers sent twice or late, a selector refused, the
// node silent.

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <thread>

#include "lon/Channel.h"
#include "lon/NetworkManagement.h"
#include "lon/UdpDatagram.h"
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
    std::uint32_t seed = 1;
};

struct ServedIdentity {
    lon::SubnetNode address{1, 5};
    lon::NeuronId neuronId{0x05, 0x01, 0x56, 0x69, 0x72, 0x65};
    lon::Domain domain;
    bool configured = true;  // an unconfigured node answers a query ID of unconfigured nodes
};

class NodeServer {
public:
    NodeServer(SimNode& node, lon::Channel& channel, lon::Clock& clock, ServedIdentity identity,
               ServedFaults faults = {});

    // Answers what arrives until the clock reaches the deadline.
    void ServeUntil(lon::Millis deadline);
    // The node's service pin message, broadcast to the whole domain.
    void SendServicePin();

    // Each answer leaves only once the channel carried the request and the answer at the FT-10
    // channel's pace, one transaction after the other, as a node behind a router answers.
    void PaceAsFt10() { paced_ = true; }
    // The channel's time the paced transactions took.
    double ChannelSeconds() const { return channelSeconds_; }

    std::uint64_t Dropped() const { return dropped_; }
    std::uint64_t Repeats() const { return repeats_; }

private:
    struct Pending {
        lon::Millis due;
        lon::Bytes frame;  // numbered when the answer was made
    };
    struct Remembered {
        lon::Packet request;
        std::optional<lon::Packet> answer;  // nothing: the request was not taken
    };

    void Handle(const lon::Packet& packet);
    bool ForThisNode(const lon::Packet& packet) const;
    bool Lost();
    // The answer's APDU to a request, or nothing where the node stays silent.
    std::optional<lon::Bytes> AnswerRequest(lon::ByteView apdu);
    bool TakeUpdate(lon::ByteView apdu);
    lon::Packet AnswerPacket(const lon::Packet& request, lon::Bytes apdu) const;
    void Send(const lon::Packet& packet, lon::Millis due);
    lon::Millis Due(const lon::Packet& request, const lon::Packet& answer);
    void SendDue();

    SimNode& node_;
    lon::Channel& channel_;
    lon::Clock& clock_;
    ServedIdentity identity_;
    ServedFaults faults_;
    std::mt19937 random_;
    bool selected_ = false;
    bool paced_ = false;
    double channelSeconds_ = 0;
    double channelFreeMs_ = 0;  // when the channel is free again, on the clock
    std::uint64_t arrived_ = 0;
    std::uint64_t answers_ = 0;
    std::uint64_t dropped_ = 0;
    std::uint64_t repeats_ = 0;
    std::map<std::pair<int, int>, Remembered> last_;  // by sender's subnet and node
    std::deque<Pending> pending_;
    std::optional<Pending> held_;  // an answer kept back to go out after the next
};

// How a served node's channel runs: at the FT-10 pace or at once, and with the channel's MD5
// secret or none.
struct ServedChannel {
    bool paced = false;
    lon::Bytes secret;
};

// A node served on a free UDP port of 127.0.0.1 by a thread of its own, until stopped. The node
// is touched by that thread only while a request is being answered, that is while the host's
// call on the other side waits for it.
class ServingThread {
public:
    ServingThread(SimNode& node, const ServedFaults& faults, ServedIdentity identity = {},
                  ServedChannel channel = {});
    ~ServingThread();
    ServingThread(const ServingThread&) = delete;
    ServingThread& operator=(const ServingThread&) = delete;

    void Stop();
    std::uint16_t Port() const { return udp_.LocalPort(); }
    std::uint64_t Repeats() const { return server_.Repeats(); }
    // Read once stopped.
    double ChannelSeconds() const { return server_.ChannelSeconds(); }

private:
    lon::SteadyClock clock_;
    lon::UdpDatagram udp_;
    lon::Channel channel_;
    NodeServer server_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace host
