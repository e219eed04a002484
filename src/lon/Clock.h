#pragma once
// The time the link waits by: a monotonic clock in milliseconds. Tests step a clock of their own.

#include <chrono>

namespace lon {

using Millis = std::chrono::milliseconds;

class Clock {
public:
    virtual ~Clock() = default;
    virtual Millis Now() = 0;
};

class SteadyClock final : public Clock {
public:
    Millis Now() override {
        return std::chrono::duration_cast<Millis>(
            std::chrono::steady_clock::now().time_since_epoch());
    }
};

}  // namespace lon
