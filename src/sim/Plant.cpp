#include "sim/Plant.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>
#include <random>
#include <utility>
#include <vector>

#include "node/NodeFields.h"

namespace host {
namespace {

namespace f = node::fields;

constexpr double kBoiler = 80;          // °C of the water the valves mix in
constexpr double kReturnShare = 0.7;    // of the forward's rise above the room left in the return
constexpr double kRoomShare = 0.4;      // of circuit 1's forward above outdoor the room reaches
constexpr double kStandingLag = 300;    // s, forward water cooling while its pump stands
constexpr double kReturnLag = 600;      // s
constexpr double kRoomLag = 7200;       // s
constexpr double kShortestRunning = 1;  // s, a valve running time of 0 still takes time
// The valve loop's damping, and its natural rate per running time that, with this damping,
// reaches 63 % of a step after one running time; the peak then lies 4.6 % past the step.
constexpr double kDamping = 0.7;
constexpr double kNaturalRate = 1.7447;
constexpr double kStaticPressure = 1500;  // Pa with every pump standing
constexpr double kPumpHead = 800;         // Pa each running circuit pump adds
constexpr double kTankChargeLag = 1800;   // s, while pump Mp3 charges from the boiler
constexpr double kTankHeatLag = 3600;     // s, while the heating element heats
constexpr double kTankLossLag = 86400;    // s, losses to the room around it
constexpr double kTankCold = 12;          // °C of the mains water that replaces what is drawn
constexpr double kTankHot = 75;           // °C the heating element heats toward
constexpr double kTankOn = 50;            // °C below which charging starts in Automatic
constexpr double kTankOff = 60;           // °C above which it stops again
// The household's hot-water use: hours of the day, and the share of the tank drawn per hour.
struct Draw {
    double from;
    double to;
    double share;
};
constexpr Draw kDraws[] = {{6.5, 7.5, 0.5}, {12, 12.5, 0.2}, {18, 19.5, 0.4}};
namespace state = f::calendar_state;
namespace position = f::switch_position;
using f::Edge;

// x moved toward target over dt seconds with the time constant lag.
double Lag(double x, double target, double dt, double lag) {
    return x + (target - x) * (1 - std::exp(-dt / lag));
}

// The field read from the node: a plain variable's bytes or a part's image.
double Read(const SimNode& node, const node::Field& field) {
    if (field.place.part != 0) {
        const PartImage image = node.Part(field.place.part);
        return node::Value(field, image.data());
    }
    const Bytes bytes = node.Raw(field.place.nv);
    return node::Value(field, bytes.data());
}

// A field of the temperature settings record of circuit 0 (NV 37) moved to circuit 1's (NV 38).
node::Field OfCircuit(node::Field field, int circuit) {
    field.place = f::kTempRecord[circuit];
    return field;
}

std::optional<Bytes> Encoded(const SimNode& node, int index, const node::Field& field,
                             double value) {
    Bytes bytes = node.Raw(index);
    node::StoreNumber(field, value, bytes.data());
    return bytes;
}

// Valve outputs are display-only words of half hundredths.
std::optional<Bytes> ValveWord(const SimNode& node, int index, const node::Field& field,
                               double percent) {
    Bytes bytes = node.Raw(index);
    node::StoreWord(field, static_cast<int>(std::lround(std::clamp(percent, 0.0, 100.0) * 200)),
                    bytes.data());
    return bytes;
}

// The forward temperature moved dt seconds on toward target as a damped second-order loop
// whose time scale is the valve's running time; exact for any dt, so a long step stays stable.
void Follow(double& forward, double& rate, double target, double dt, double running) {
    const double natural = kNaturalRate / std::max(running, kShortestRunning);
    const double decay = kDamping * natural;
    const double ringing = natural * std::sqrt(1 - kDamping * kDamping);
    const double error = forward - target;
    const double fade = std::exp(-decay * dt);
    const double c = std::cos(ringing * dt);
    const double s = std::sin(ringing * dt);
    forward = target + fade * (error * c + (rate + decay * error) / ringing * s);
    rate = fade * (rate * c - (decay * rate + natural * natural * error) / ringing * s);
}

platform::DateTime Clock(const SimNode& node) {
    return node::NodeClockRecord::FromBytes(node.Raw(nv::kClockRead).data());
}

}  // namespace

Plant::Plant(const SimNode& node, PlantSettings settings) : node_(node), settings_(settings) {
    std::mt19937 random(settings_.seed);
    for (double& n : noise_) {
        n = (static_cast<double>(random()) / std::mt19937::max() * 2 - 1) * settings_.noise;
    }
    const platform::DateTime clock = Clock(node_);
    startOfDay_ = clock.hour * 3600.0 + clock.minute * 60.0 + clock.second;
    outdoor_ = OutdoorAt(0);
    StepFrostProtection();
    room_ = outdoor_ + kRoomShare * (SetPoint(0) - outdoor_);
}

double Plant::OutdoorAt(double seconds) const {
    const double day = std::fmod(startOfDay_ + seconds, kDay) / kDay;
    const double cycle = -std::cos(2 * std::numbers::pi * (day - 4.0 / 24));
    const double slot = day * static_cast<double>(noise_.size());
    const auto first = static_cast<std::size_t>(slot) % noise_.size();
    const double share = slot - std::floor(slot);
    const double noise = noise_[first] * (1 - share) + noise_[(first + 1) % noise_.size()] * share;
    return settings_.meanOutdoor + settings_.outdoorSwing * cycle + noise;
}

void Plant::AdvanceTo(double seconds) {
    while (now_ + kStep <= seconds) {
        now_ += kStep;
        Step(kStep);
    }
}

void Plant::BreakPump(int circuit, bool broken) {
    circuits_[static_cast<std::size_t>(circuit)].broken = broken;
}

int Plant::ModeOf(const node::Field& mode) const {
    const int word = static_cast<int>(Read(node_, mode));
    return word == nv::kModeOff || word == nv::kModeManual ? word : nv::kModeAutomatic;
}

void Plant::Step(double dt) {
    outdoor_ = OutdoorAt(now_);
    StepFrostProtection();
    for (int c = 0; c < 2; ++c) {
        StepCircuit(c, dt);
    }
    const auto running = std::count_if(circuits_.begin(), circuits_.end(),
                                       [](const Circuit& circuit) { return circuit.pump; });
    pressure_ = kStaticPressure + kPumpHead * static_cast<double>(running);
    room_ = Lag(room_, outdoor_ + kRoomShare * (circuits_[0].forward - outdoor_), dt, kRoomLag);
    StepTank(dt);
}

// Frost protection of circuit 1, with the hysteresis between its start and stop.
void Plant::StepFrostProtection() {
    if (Read(node_, f::kFrostProtection) == 0) {
        frostHeating_ = false;
    } else if (outdoor_ < Read(node_, f::kFrostStart)) {
        frostHeating_ = true;
    } else if (outdoor_ > Read(node_, f::kFrostStop)) {
        frostHeating_ = false;
    }
}

void Plant::StepCircuit(int c, double dt) {
    const auto k = static_cast<std::size_t>(c);
    Circuit& circuit = circuits_[k];
    const bool summerStop =
        Read(node_, f::kSummerStopOn) != 0 && outdoor_ > Read(node_, f::kSummerStopTemperature);
    const int pumpMode = ModeOf(f::kPumpMode[k]);
    const bool heats = !summerStop && Position(c) != position::kOff;
    circuit.asked = pumpMode == nv::kModeManual ||
                    (pumpMode == nv::kModeAutomatic && (heats || (c == 0 && frostHeating_)));
    // The supervision sees the pressure the pumps built in the step before.
    circuit.pressureLow = circuit.asked && Read(node_, f::kMonitorPressure[k]) != 0 &&
                          pressure_ < Read(node_, f::kPressureSetPoint[k]);
    circuit.pressureStop = circuit.pressureLow && Read(node_, f::kPressureStopsPump[k]) != 0;
    circuit.pumpFault = circuit.asked && circuit.broken;
    circuit.pump = circuit.asked && !circuit.broken && !circuit.pressureStop;

    const int valveMode = ModeOf(f::kValveMode[k]);
    const double manual = Read(node_, f::kValveManualOutput[k]);
    const double span = std::max(kBoiler - circuit.ret, 1.0);
    if (circuit.pump) {
        // The valve mixes boiler water into the return: what it can reach lies between them.
        double target = circuit.ret;
        if (valveMode == nv::kModeManual) {
            target += manual / 100 * span;
        } else if (valveMode == nv::kModeAutomatic) {
            target = std::min(std::max(SetPoint(c), circuit.ret), kBoiler);
        }
        Follow(circuit.forward, circuit.rate, target, dt, Read(node_, f::kValveRunningTime[k]));
    } else {
        circuit.forward = Lag(circuit.forward, room_, dt, kStandingLag);
        circuit.rate = 0;
    }
    circuit.valve = valveMode == nv::kModeManual ? manual
                    : valveMode == nv::kModeAutomatic
                        ? std::clamp((circuit.forward - circuit.ret) / span * 100, 0.0, 100.0)
                        : 0;
    const bool low =
        circuit.pump && circuit.forward < SetPoint(c) - Read(node_, f::kLowForwardOffset[k]);
    circuit.lowFor = low ? circuit.lowFor + dt : 0;
    circuit.lowAlarm = low && circuit.lowFor > Read(node_, f::kLowForwardDelay[k]) * 60;
    const double ret = circuit.pump ? room_ + kReturnShare * (circuit.forward - room_) : room_;
    circuit.ret = Lag(circuit.ret, ret, dt, kReturnLag);
}

// The share of the tank the household draws per hour at this time of day.
double Plant::DrawShare() const {
    const double hour = std::fmod(startOfDay_ + now_, kDay) / 3600;
    for (const Draw& draw : kDraws) {
        if (draw.from <= hour && hour < draw.to) {
            return draw.share;
        }
    }
    return 0;
}

void Plant::StepTank(double dt) {
    if (tank_ < kTankOn) {
        charging_ = true;
    } else if (tank_ > kTankOff) {
        charging_ = false;
    }
    // Heat from the boiler through Mp3 and from the element, cold mains water for what is
    // drawn, and the tank's losses; the slowest of these is far above a step, so Euler holds.
    const double change = HotWaterPumpOutput() / 100 * (kBoiler - tank_) / kTankChargeLag +
                          ElementOutput() / 100 * (kTankHot - tank_) / kTankHeatLag +
                          DrawShare() / 3600 * (kTankCold - tank_) + (room_ - tank_) / kTankLossLag;
    tank_ += change * dt;
}

namespace {

// The node clock's weekday (0 Sunday) and time of day in quarter hours; nothing when the clock
// holds no valid date.
std::optional<std::pair<int, int>> ClockSlot(const SimNode& node) {
    using namespace std::chrono;
    const platform::DateTime clock = Clock(node);
    const year_month_day date{year{clock.year}, month{static_cast<unsigned>(clock.month)},
                              day{static_cast<unsigned>(clock.day)}};
    if (!date.ok()) {
        return std::nullopt;
    }
    return std::pair{static_cast<int>(weekday{sys_days{date}}.c_encoding()),
                     (clock.hour * 60 + clock.minute) / 15};
}

// Whether a quarter hour lies in the period from a calendar's start up to its stop.
bool Within(const PartImage& image, const node::Field& stop, const node::Field& start, int now) {
    return node::Value(start, image.data()) <= now && now < node::Value(stop, image.data());
}

}  // namespace

// The calendar state word of a circuit: the holiday period first, then calendar 1 and
// calendar 2 of the node clock's weekday.
int Plant::CalendarState(int circuit) const {
    const auto slot = ClockSlot(node_);
    if (!slot) {
        return state::kOff;
    }
    const auto [weekday, now] = *slot;
    const PartImage image = node_.Part(f::kWeekPart[circuit]);
    const node::Field holidayStop = f::HolidayTime(circuit, Edge::Stop);
    const node::Field holidayStart = f::HolidayTime(circuit, Edge::Start);
    if (node::Value(holidayStart, image.data()) != node::Value(holidayStop, image.data()) &&
        Within(image, holidayStop, holidayStart, now)) {
        return state::kHolidayActive;
    }
    for (const int calendar : {0, 1}) {
        if (Within(image, f::WeekTime(circuit, calendar, weekday, Edge::Stop),
                   f::WeekTime(circuit, calendar, weekday, Edge::Start), now)) {
            return calendar == 0 ? state::kCalendar1 : state::kCalendar2;
        }
    }
    return state::kOff;
}

// The position the rotary switch stands at: the one the node holds when a text names it.
int Plant::SwitchPosition(int circuit) const {
    const node::Field& field = f::kSwitchPosition[static_cast<std::size_t>(circuit)];
    const int held = static_cast<int>(Read(node_, field));
    return node::ChoiceIndex(field, held) >= 0 ? held : position::kCalendar;
}

// The position the circuit works by: an override code that asks for one, else the switch.
int Plant::Position(int circuit) const {
    const int code =
        static_cast<int>(Read(node_, f::kOverrideCode[static_cast<std::size_t>(circuit)]));
    return code >= position::kBoost && code <= position::kOccupancy ? code
                                                                    : SwitchPosition(circuit);
}

// By the switch: Boost and Day heat as the day, Night and Off as the night, Occupancy as the
// presence detector says; at Calender night whenever neither calendar holds the day, and all
// through a holiday.
bool Plant::Night(int circuit) const {
    switch (Position(circuit)) {
        case position::kBoost:
        case position::kDay:
            return false;
        case position::kNight:
        case position::kOff:
            return true;
        case position::kOccupancy:
            return !Occupied(circuit);
        default: {
            const int state = CalendarState(circuit);
            return state != state::kCalendar1 && state != state::kCalendar2;
        }
    }
}

// The presence detector reports occupied within the day of the circuit's presence calendar.
bool Plant::Occupied(int circuit) const {
    const auto slot = ClockSlot(node_);
    if (!slot) {
        return false;
    }
    const auto [weekday, now] = *slot;
    return Within(node_.Part(f::kPresencePart[circuit]),
                  f::PresenceTime(circuit, weekday, Edge::Stop),
                  f::PresenceTime(circuit, weekday, Edge::Start), now);
}

double Plant::CurveSetPoint(int circuit, double outdoor) const {
    const int count =
        std::clamp(static_cast<int>(Read(node_, OfCircuit(f::kCurvePoints, circuit))), 0, 5);
    std::vector<std::pair<double, double>> points;
    for (int k = 0; k < count; ++k) {
        points.emplace_back(Read(node_, OfCircuit(f::CurveOutdoor(k), circuit)),
                            Read(node_, OfCircuit(f::CurveForward(k), circuit)));
    }
    if (points.empty()) {
        return Read(node_, f::kConstantDay[static_cast<std::size_t>(circuit)]);
    }
    std::sort(points.begin(), points.end());
    if (outdoor <= points.front().first) {
        return points.front().second;
    }
    for (std::size_t k = 1; k < points.size(); ++k) {
        const auto& [x0, y0] = points[k - 1];
        const auto& [x1, y1] = points[k];
        if (outdoor <= x1) {
            return x1 == x0 ? y1 : y0 + (y1 - y0) * (outdoor - x0) / (x1 - x0);
        }
    }
    return points.back().second;
}

double Plant::SetPoint(int circuit) const {
    const bool night = Night(circuit);
    const auto c = static_cast<std::size_t>(circuit);
    double setPoint = 0;
    if (Read(node_, f::kCalculatedSetPointOn) == 0) {
        setPoint = Read(node_, night ? f::kConstantNight[c] : f::kConstantDay[c]);
    } else {
        const double offset = night ? Read(node_, OfCircuit(f::kNightOffset, circuit)) : 0;
        setPoint = CurveSetPoint(circuit, outdoor_) - offset;
    }
    // Frost protection keeps the heating surface's water at its return temperature at least.
    return circuit == 0 && frostHeating_ ? std::max(setPoint, Read(node_, f::kFrostReturn))
                                         : setPoint;
}

double Plant::ValveOutput(int valve) const {
    if (valve < 2) {
        return circuits_[static_cast<std::size_t>(valve)].valve;
    }
    const int mode = ModeOf(f::kValveMode[static_cast<std::size_t>(valve)]);
    return mode == nv::kModeManual
               ? Read(node_, f::kValveManualOutput[static_cast<std::size_t>(valve)])
               : 0;
}

double Plant::ElementOutput() const {
    const int mode = ModeOf(f::kHeatingElementMode);
    return mode == nv::kModeManual || (mode == nv::kModeAutomatic && charging_) ? 100 : 0;
}

double Plant::HotWaterPumpOutput() const {
    const int mode = ModeOf(f::kHotWaterPumpMode);
    return mode == nv::kModeManual || (mode == nv::kModeAutomatic && charging_) ? 100 : 0;
}

Bytes Plant::StatusFlags() const {
    Bytes bytes = node_.Raw(nv::kStatusFlags);
    node::StoreFlag(f::kFrostHeating, frostHeating_, bytes.data());
    for (std::size_t c = 0; c < circuits_.size(); ++c) {
        const Circuit& circuit = circuits_[c];
        node::StoreFlag(f::kLowForwardState[c], circuit.lowAlarm, bytes.data());
        node::StoreFlag(f::kPumpFault[c], circuit.pumpFault, bytes.data());
        node::StoreFlag(f::kPressureFault[c], circuit.pressureLow, bytes.data());
        node::StoreFlag(f::kPressureFaultStop[c], circuit.pressureStop, bytes.data());
    }
    return bytes;
}

std::optional<Bytes> Plant::LiveValue(int index) const {
    const auto& [one, two] = circuits_;
    switch (index) {
        case nv::kRoomTemperature:
            return Encoded(node_, index, f::kRoomTemperature, room_);
        case nv::kForwardTemperature1:
            return Encoded(node_, index, f::kForwardTemperature[0], one.forward);
        case nv::kForwardTemperature2:
            return Encoded(node_, index, f::kForwardTemperature[1], two.forward);
        case nv::kReturnTemperature1:
            return Encoded(node_, index, f::kReturnTemperature[0], one.ret);
        case nv::kReturnTemperature2:
            return Encoded(node_, index, f::kReturnTemperature[1], two.ret);
        case nv::kOutdoorSensor:
        case nv::kOutdoorTemperature:
            return Encoded(node_, index, f::kOutdoorTemperature, outdoor_);
        case nv::kForwardSetPoint1:
            return Encoded(node_, index, f::kCalculatedSetPoint, SetPoint(0));
        case nv::kCalendarState1:
        case nv::kCalendarState2: {
            const int circuit = index == nv::kCalendarState1 ? 0 : 1;
            return Encoded(node_, index, f::kCalendarState[static_cast<std::size_t>(circuit)],
                           CalendarState(circuit));
        }
        case nv::kPresence1:
        case nv::kPresence2: {
            const int circuit = index == nv::kPresence1 ? 0 : 1;
            return Encoded(node_, index, f::kPresenceState[static_cast<std::size_t>(circuit)],
                           Occupied(circuit) ? f::kOccupied : f::kUnoccupied);
        }
        case nv::kPumpOutput1:
            return Encoded(node_, index, f::kPumpRunning[0], one.pump ? 1 : 0);
        case nv::kPumpOutput2:
            return Encoded(node_, index, f::kPumpRunning[1], two.pump ? 1 : 0);
        case nv::kValveOutputMv1:
            return ValveWord(node_, index, f::kValveOutput[0], ValveOutput(0));
        case nv::kValveOutputMv2:
            return ValveWord(node_, index, f::kValveOutput[1], ValveOutput(1));
        case nv::kValveOutputMv3:
            return ValveWord(node_, index, f::kValveOutput[2], ValveOutput(2));
        case nv::kValveOutputMv4:
            return ValveWord(node_, index, f::kValveOutput[3], ValveOutput(3));
        case nv::kHeatingElementOutput:
            return Encoded(node_, index, f::kHeatingElementOutput, ElementOutput());
        case nv::kHotWaterPumpOutput:
            return Encoded(node_, index, f::kHotWaterPumpOutput, HotWaterPumpOutput());
        case nv::kRotarySwitch1:
        case nv::kRotarySwitch2: {
            const int circuit = index == nv::kRotarySwitch1 ? 0 : 1;
            return Encoded(node_, index, f::kSwitchPosition[static_cast<std::size_t>(circuit)],
                           SwitchPosition(circuit));
        }
        case nv::kUnitMode1:
        case nv::kUnitMode2: {
            const auto circuit = static_cast<std::size_t>(index == nv::kUnitMode1 ? 0 : 1);
            return Encoded(node_, index, f::kUnitMode[circuit],
                           circuits_[circuit].pump ? f::kUnitHeating : f::kUnitOff);
        }
        case nv::kPressure:
            return Encoded(node_, index, f::kPressure, pressure_);
        case nv::kStatusFlags:
            return StatusFlags();
        default:
            return std::nullopt;
    }
}

void Plant::Attach(SimNode& node, double speed) {
    node.SetClockRuns(true, speed);
    const auto start = std::chrono::steady_clock::now();
    node.liveValues = [this, start, speed](int index) {
        const std::chrono::duration<double> real = std::chrono::steady_clock::now() - start;
        AdvanceTo(real.count() * speed);
        return LiveValue(index);
    };
}

}  // namespace host
