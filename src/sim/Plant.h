#pragma once
// The heating plant behind the simulated node in the GUI: an outdoor temperature on a daily
// cycle, two heating circuits whose forward, return and room temperatures follow the node's
// own settings (heating curve of NV 37 / NV 38, night offset by the week calendar and the node
// clock, constant day and night temperatures, valve and pump modes, manual outputs), and a
// hot-water tank that cools with the household's use and is charged by pump Mp3 and the
// heating element. Deterministic: the same seed, start state and simulated times give the same
// values, however often they are read. The node's state is only read; the live values are
// computed when the plug-in reads them and never stored in the node.
//
// Night follows each circuit's week calendar (part 9 / part 11) for the node clock's weekday
// and time: day while calendar 1 or calendar 2 holds it, night otherwise and all through the
// holiday period. The calendar state words and the presence detectors (by the presence
// calendars) read as the calendars say. The rotary switch stands at Calender unless the node
// holds another position it names; an override code of 1 to 6 takes the switch's place.
//
// A circuit's forward temperature answers its set point like the node's valve loop: 63 % of a
// step after one valve running time (part 5), a peak a few percent past the set point, then
// settled. Frost protection of circuit 1 starts below its outdoor start temperature and stops
// above its stop temperature. NV 35 raises the alarms when their conditions hold: a low forward
// temperature for longer than its delay, a pressure below a monitored regulator's set point
// (stopping its pump when so set), a pump that does not run when asked to.

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
    // Simulated seconds of one step of the model: values depend on the time only, not on how
    // often the plant was read on the way.
    static constexpr double kStep = 10;

    explicit Plant(const SimNode& node, PlantSettings settings = {});

    // Moves the plant on to the last step up to the given simulated seconds since it started
    // (never back).
    void AdvanceTo(double seconds);
    double Now() const { return now_; }
    // The outdoor temperature at a simulated time; repeats every day.
    double OutdoorAt(double seconds) const;
    // The value of a live variable as it reads now; nothing for one the node keeps.
    std::optional<Bytes> LiveValue(int index) const;
    // The forward set point of circuit 0 or 1 from the node's settings at this moment.
    double SetPoint(int circuit) const;
    double TankTemperature() const { return tank_; }
    // A broken pump of circuit 0 or 1 stands still while it is asked to run: its pump fault.
    void BreakPump(int circuit, bool broken);

    // Lets the node read its live values from this plant, which runs speed simulated seconds
    // per real second; the node's clock runs at the same pace. The plant must outlive the node's
    // use of it.
    void Attach(SimNode& node, double speed);

private:
    struct Circuit {
        double forward = 20;
        double rate = 0;  // °C/s the forward temperature moves
        double ret = 20;
        double valve = 0;     // % open
        bool asked = false;   // the pump's mode, the switch or frost protection ask it to run
        bool broken = false;  // it then does not run
        bool pumpFault = false;
        bool pressureLow = false;  // below the monitored set point while asked to run
        bool pressureStop = false;
        bool pump = false;
        double lowFor = 0;  // s the forward temperature has been low
        bool lowAlarm = false;
    };

    void Step(double seconds);
    void StepFrostProtection();
    void StepCircuit(int circuit, double dt);
    void StepTank(double dt);
    int CalendarState(int circuit) const;
    int SwitchPosition(int circuit) const;
    int Position(int circuit) const;
    bool Night(int circuit) const;
    bool Occupied(int circuit) const;
    double CurveSetPoint(int circuit, double outdoor) const;
    // Off, Manual or Automatic: every other word works as Automatic.
    int ModeOf(const node::Field& mode) const;
    double ValveOutput(int valve) const;
    double ElementOutput() const;
    double HotWaterPumpOutput() const;
    double DrawShare() const;
    Bytes StatusFlags() const;

    const SimNode& node_;
    PlantSettings settings_;
    std::array<double, 144> noise_{};  // every ten minutes of the day
    double startOfDay_ = 0;            // the node clock's time of day when the plant started
    double now_ = 0;
    double outdoor_ = 0;
    double room_ = 20;
    double pressure_ = 0;  // Pa
    bool frostHeating_ = false;
    double tank_ = 55;
    bool charging_ = false;
    std::array<Circuit, 2> circuits_{};
};

}  // namespace host
