#include "sim/Channel.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace host {
namespace {

constexpr double kShortestWait = 0.001;  // seconds

}  // namespace

Channel::Clock Channel::SteadyClock() {
    return {[] {
                using namespace std::chrono;
                return duration<double>(steady_clock::now().time_since_epoch()).count();
            },
            [](double seconds) {
                std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
            }};
}

Channel::Channel(double transactionsPerSecond, Clock clock)
    : slotSeconds_(transactionsPerSecond > 0 ? 1 / transactionsPerSecond : 0),
      clock_(std::move(clock)) {
    load_.transactionsPerSecond = std::max(0.0, transactionsPerSecond);
}

void Channel::Transact(double weight) {
    double until = 0;
    double now = 0;
    const double slot = slotSeconds_ * weight;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        now = clock_.now();
        const double start = std::max(now, nextFree_);
        until = start + slot;
        nextFree_ = until;
        if (load_.transactions == 0) {
            load_.firstSeconds = now;
        }
        ++load_.transactions;
        load_.busySeconds += slot;
        load_.longestWait = std::max(load_.longestWait, start - now);
        load_.lastSeconds = std::max(load_.lastSeconds, until);
    }
    // A wait under a millisecond is not slept: the slot stays reserved, so the channel carries
    // no more than its capacity all the same, and a transaction returns at most that much
    // before its slot ends. Waking a thread costs more than such a wait is worth.
    if (until - now >= kShortestWait) {
        clock_.wait(until - now);
    }
}

Channel::Load Channel::Measured() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return load_;
}

double Channel::Share(const Load& load, double elapsedSeconds) {
    if (load.transactionsPerSecond <= 0 || elapsedSeconds <= 0) {
        return 0;
    }
    return std::min(1.0, load.busySeconds / elapsedSeconds);
}

}  // namespace host
