#pragma once
// The heating plant behind the simulated node in the GUI: an outdoor temperature on a daily
// cycle, two heating circuits whose forward, return and room temperatures follow the node's
// own settings (heating curve of NV 37 / NV 38, night offset by the week calendar and the node
// clock, constant day and night temperatures, valve and pump modes, manual outputs), and a
// hot-water tank heated by the heating element. Deterministic: the same seed and the same
// simulated times give the same values. The node's state is only read; the live values are
// computed when the plug-in reads them and never stored in the node.
//
// Night follows each circuit's week calendar (part 9 / part 11) for the node clock's weekday
// and time: day while calendar 1 or calendar 2 holds it, night otherwise and all through the
// holiday period. The calendar state words and the presence detectors (by the presence
// calendars) read as the calendars say.

#include <array>
#include <cstdint>
#include <optional>

#include "node/NodeField.h"
#include "sim/SimNode.h"

namespace host {

struct PlantSettings {
    std::uint32_t seed = 1;
    double meanOutdoor = 2;   // °C, the day's mean
    double outdoorSwing = 5;  // °C, half the day's range: coldest at 4:00, warmest at 16:00
    double noise = 0.3;       // °C, the largest seeded deviation from the cycle
};

// The GUI's plant: every session sees the same weather.
inline constexpr std::uint32_t kGuiPlantSeed = 1;

class Plant {
public:
    static constexpr double kDay = 86400;

    explicit Plant(const SimNode& node, PlantSettings settings = {});

    // Moves the plant on to the given simulated seconds since it started (never back).
    void AdvanceTo(double seconds);
    double Now() const { return now_; }
    // The outdoor temperature at a simulated time; repeats every day.
    double OutdoorAt(double seconds) const;
    // The value of a live variable as it reads now; nothing for one the node keeps.
    std::optional<Bytes> LiveValue(int index) const;
    // The forward set point of circuit 0 or 1 from the node's settings at this moment.
    double SetPoint(int circuit) const;

    // Lets the node read its live values from this plant, which runs speed simulated seconds
    // per real second; the node's clock runs at the same pace. The plant must outlive the node's
    // use of it.
    void Attach(SimNode& node, double speed);

private:
    struct Circuit {
        double forward = 20;
        double ret = 20;
        double valve = 0;  // % open
        bool pump = false;
    };

    void Step(double seconds);
    int CalendarState(int circuit) const;
    bool Night(int circuit) const;
    bool Occupied(int circuit) const;
    double CurveSetPoint(int circuit, double outdoor) const;
    // Off, Manual or Automatic: every other word works as Automatic.
    int ModeOf(const node::Field& mode) const;
    double ValveOutput(int valve) const;
    double ElementOutput() const;

    const SimNode& node_;
    PlantSettings settings_;
    std::array<double, 144> noise_{};  // every ten minutes of the day
    double startOfDay_ = 0;            // the node clock's time of day when the plant started
    double now_ = 0;
    double outdoor_ = 0;
    double room_ = 20;
    double tank_ = 50;
    bool elementOn_ = false;
    std::array<Circuit, 2> circuits_{};
};

}  // namespace host
