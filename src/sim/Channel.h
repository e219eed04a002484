#pragma once
// The channel the nodes of a simulated network share. A real channel carries one packet at a
// time, so the transactions of many nodes queue for it: each host call to a node takes its
// slot of the channel's time, in the order the calls arrive, and returns when its slot ends.
// Concurrent operations therefore cannot go faster than the channel lets them.

#include <cstdint>
#include <functional>
#include <mutex>

namespace host {

// Node transactions per second on a free-topology twisted-pair channel (TP/FT-10, ISO/IEC
// 14908-2). Its standard channel definition gives 78.13 kbit/s and an average packet of 15
// bytes: with preamble, CRC and end code about 150 bit times (1.9 ms), plus the gap after a
// packet and the average randomizing slots (about 0.6 ms), a packet takes about 2.5 ms, or 400
// packets per second with the channel fully used. A transaction is a request and its response
// (a poll and its answer, an update and its acknowledgement): 200 transactions per second.
inline constexpr double kTwistedPairTransactionsPerSecond = 200;

class Channel {
public:
    // Where the channel reads its time and how a caller waits for its slot (seconds); tests
    // give a clock of their own so that nothing waits for real.
    struct Clock {
        std::function<double()> now;
        std::function<void(double)> wait;
    };
    static Clock SteadyClock();

    // transactionsPerSecond <= 0: a channel without a limit (nothing waits).
    explicit Channel(double transactionsPerSecond, Clock clock = SteadyClock());

    // One node transaction: waits for the channel's next free slot and for the slot to end.
    // weight: its frames' time over an average transaction's (1 / 200 s on FT-10), so that a
    // 31-byte part takes its longer slot.
    void Transact(double weight = 1);

    struct Load {
        double transactionsPerSecond = 0;  // the capacity; 0 for a channel without a limit
        std::int64_t transactions = 0;
        double busySeconds = 0;   // the channel's time the transactions took
        double longestWait = 0;   // the longest a transaction queued for its slot
        double firstSeconds = 0;  // when the first transaction arrived (the clock's time)
        double lastSeconds = 0;   // when the last slot ended
    };
    Load Measured() const;

    // The share of the channel's capacity used over elapsedSeconds, 0 to 1 (0 without a limit).
    static double Share(const Load& load, double elapsedSeconds);

private:
    double slotSeconds_;
    Clock clock_;
    mutable std::mutex mutex_;
    double nextFree_ = 0;
    Load load_;
};

}  // namespace host
