#pragma once
// Acknowledged messages and request/response transactions with one node at a time, as a tool's
// host calls need them: each transaction gets the next transaction number (never the one its
// destination had last), is sent again with the same number when the transmit timer runs out, and
// ends with the destination's acknowledgement or response (matched by source address and
// transaction number) or, after the last retry, as a failure that says how many tries were made.

#include <cstdint>
#include <functional>
#include <map>
#include <utility>

#include "lon/Bytes.h"
#include "lon/Clock.h"
#include "lon/Packet.h"
#include "lon/PacketPort.h"

namespace lon {

// Transmit timer code n: 16 ms << n/2, half as much again for odd n (16 ms to 3072 ms).
Millis TransmitTimer(std::uint8_t code);

// The transaction number after this one: 1 to 15, and around to 1 (0 is for the first
// transaction after start only).
std::uint8_t NextTransaction(std::uint8_t number);

struct RetryPolicy {
    int retries = 3;
    std::uint8_t transmitTimerCode = 10;  // 512 ms
};

// The node a transaction is for: by subnet/node, or by Neuron ID (routed towards a subnet).
struct Target {
    bool byNeuronId = false;
    SubnetNode node;
    NeuronId neuronId{};
};

enum class Service : std::uint8_t { Acknowledged, Request };

struct Outcome {
    bool completed = false;
    int tries = 0;
    Bytes response;  // the response's APDU; empty for an acknowledgement
};

class Transactions {
public:
    Transactions(PacketPort& channel, Clock& clock, SubnetNode self, Domain domain,
                 RetryPolicy policy = {});

    // Sends the APDU and waits for its end; blocks only in the port's Receive.
    Outcome Run(const Target& target, Service service, ByteView apdu);

    // Takes each transaction's number from a count shared with other programs that send from
    // the same address (1 to 15 and around), so that two of them never give one node the same
    // number one after the other: the node would answer the second with the first's response.
    void ShareNumbers(std::function<std::uint8_t()> next) { shared_ = std::move(next); }

    // Sees every packet that arrives while a transaction waits and is not its answer.
    void SetOtherPackets(std::function<void(const Packet&)> sink) { other_ = std::move(sink); }
    // Acknowledgements and responses to us that answered no waiting transaction: late answers
    // to an earlier try, duplicates, or answers from the wrong node.
    std::uint64_t IgnoredAnswers() const { return ignored_; }
    // Those of them that came from the node asked but for another transaction number: answers
    // to an earlier transaction that arrived after it had ended (a crowded channel).
    std::uint64_t LateAnswers() const { return late_; }

private:
    Packet Build(const Target& target, Service service, ByteView apdu);
    bool IsAnswerToUs(const Packet& packet) const;

    PacketPort& channel_;
    Clock& clock_;
    SubnetNode self_;
    Domain domain_;
    RetryPolicy policy_;
    std::uint8_t next_ = 0;
    std::map<std::pair<bool, Bytes>, std::uint8_t> lastTransaction_;
    std::function<void(const Packet&)> other_;
    std::function<std::uint8_t()> shared_;
    std::uint64_t ignored_ = 0;
    std::uint64_t late_ = 0;
};

}  // namespace lon
