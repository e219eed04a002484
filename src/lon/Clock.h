#pragma once
// The times the link goes by: a monotonic clock in milliseconds that every wait and retry uses,
// and the wall clock (UTC) that IP-852 timestamps carry between members whose clocks are
// synchronised. Tests step clocks of their own.

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

// Milliseconds since 1970-01-01 UTC.
class WallClock {
public:
    virtual ~WallClock() = default;
    virtual Millis SinceEpoch() = 0;
};

class SystemWallClock final : public WallClock {
public:
    Millis SinceEpoch() override {
        return std::chrono::duration_cast<Millis>(
            std::chrono::system_clock::now().time_since_epoch());
    }
};

}  // namespace lon
