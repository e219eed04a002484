#include "sim/Plant.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>
#include <random>
#include <utility>
#include <vector>

#include "codecs/NumericCodec.h"
#include "node/NodeFields.h"

namespace host {
namespace {

namespace f = node::fields;

constexpr double kBoiler = 80;          // °C of the water the valves mix in
constexpr double kReturnShare = 0.7;    // of the forward's rise above the room left in the return
constexpr double kRoomShare = 0.4;      // of circuit 1's forward above outdoor the room reaches
constexpr double kForwardLag = 300;     // s
constexpr double kReturnLag = 600;      // s
constexpr double kRoomLag = 7200;       // s
constexpr double kTankHeatLag = 3600;   // s, while the heating element heats
constexpr double kTankCoolLag = 28800;  // s, while it does not
constexpr double kTankCold = 12;        // °C the tank cools toward
constexpr double kTankHot = 75;         // °C the heating element heats toward
constexpr double kTankOn = 50;          // °C below which the element switches on in Automatic
constexpr double kTankOff = 60;         // °C above which it switches off again
constexpr double kLongestStep = 60;     // s of simulated time per step of the model
namespace state = f::calendar_state;
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
std::optional<Bytes> ValveWord(const SimNode& node, int index, double percent) {
    Bytes bytes = node.Raw(index);
    const codecs::NumericCodec codec;
    const int word = static_cast<int>(std::lround(std::clamp(percent, 0.0, 100.0) * 200));
    bytes[0] = static_cast<std::uint8_t>(codec.IntHighByte(word));
    bytes[1] = static_cast<std::uint8_t>(codec.IntLowByte(word));
    return bytes;
}

codecs::DateTime Clock(const SimNode& node) {
    return node::NodeClockRecord::FromBytes(node.Raw(nv::kClockRead).data());
}

}  // namespace

Plant::Plant(const SimNode& node, PlantSettings settings) : node_(node), settings_(settings) {
    std::mt19937 random(settings_.seed);
    for (double& n : noise_) {
        n = (static_cast<double>(random()) / std::mt19937::max() * 2 - 1) * settings_.noise;
    }
    const codecs::DateTime clock = Clock(node_);
    startOfDay_ = clock.hour * 3600.0 + clock.minute * 60.0 + clock.second;
    outdoor_ = OutdoorAt(0);
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
    while (now_ < seconds) {
        const double dt = std::min(kLongestStep, seconds - now_);
        now_ += dt;
        Step(dt);
    }
}

int Plant::ModeOf(const node::Field& mode) const {
    const int word = static_cast<int>(Read(node_, mode));
    return word == nv::kModeOff || word == nv::kModeManual ? word : nv::kModeAutomatic;
}

void Plant::Step(double dt) {
    outdoor_ = OutdoorAt(now_);
    const bool summerStop =
        Read(node_, f::kSummerStopOn) != 0 && outdoor_ > Read(node_, f::kSummerStopTemperature);
    for (int c = 0; c < 2; ++c) {
        Circuit& circuit = circuits_[static_cast<std::size_t>(c)];
        const int pumpMode = ModeOf(f::kPumpMode[static_cast<std::size_t>(c)]);
        circuit.pump =
            pumpMode == nv::kModeManual || (pumpMode == nv::kModeAutomatic && !summerStop);
        const int valveMode = ModeOf(f::kValveMode[static_cast<std::size_t>(c)]);
        if (valveMode == nv::kModeManual) {
            circuit.valve = Read(node_, f::kValveManualOutput[static_cast<std::size_t>(c)]);
        } else if (valveMode == nv::kModeAutomatic) {
            // The opening that mixes the set point from the boiler and the return.
            const double wanted = std::min(SetPoint(c), kBoiler);
            circuit.valve =
                std::clamp((wanted - circuit.ret) / (kBoiler - circuit.ret) * 100, 0.0, 100.0);
        } else {
            circuit.valve = 0;
        }
        const double forward =
            circuit.pump ? circuit.ret + circuit.valve / 100 * (kBoiler - circuit.ret) : room_;
        circuit.forward = Lag(circuit.forward, forward, dt, kForwardLag);
        const double ret = circuit.pump ? room_ + kReturnShare * (circuit.forward - room_) : room_;
        circuit.ret = Lag(circuit.ret, ret, dt, kReturnLag);
    }
    room_ = Lag(room_, outdoor_ + kRoomShare * (circuits_[0].forward - outdoor_), dt, kRoomLag);
    if (tank_ < kTankOn) {
        elementOn_ = true;
    } else if (tank_ > kTankOff) {
        elementOn_ = false;
    }
    const bool heating = ElementOutput() > 0;
    tank_ = Lag(tank_, heating ? kTankHot : kTankCold, dt, heating ? kTankHeatLag : kTankCoolLag);
}

namespace {

// The node clock's weekday (0 Sunday) and time of day in quarter hours; nothing when the clock
// holds no valid date.
std::optional<std::pair<int, int>> ClockSlot(const SimNode& node) {
    using namespace std::chrono;
    const codecs::DateTime clock = Clock(node);
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

// Night whenever neither calendar holds the day, and all through a holiday.
bool Plant::Night(int circuit) const {
    const int state = CalendarState(circuit);
    return state != state::kCalendar1 && state != state::kCalendar2;
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
    if (Read(node_, f::kCalculatedSetPointOn) == 0) {
        return Read(node_, night ? f::kConstantNight[c] : f::kConstantDay[c]);
    }
    const double offset = night ? Read(node_, OfCircuit(f::kNightOffset, circuit)) : 0;
    return CurveSetPoint(circuit, outdoor_) - offset;
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
    return mode == nv::kModeManual || (mode == nv::kModeAutomatic && elementOn_) ? 100 : 0;
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
            return ValveWord(node_, index, ValveOutput(0));
        case nv::kValveOutputMv2:
            return ValveWord(node_, index, ValveOutput(1));
        case nv::kValveOutputMv3:
            return ValveWord(node_, index, ValveOutput(2));
        case nv::kValveOutputMv4:
            return ValveWord(node_, index, ValveOutput(3));
        case nv::kHeatingElementOutput:
            return Encoded(node_, index, f::kHeatingElementOutput, ElementOutput());
        case nv::kHotWaterPumpOutput: {
            const int mode = ModeOf(f::kHotWaterPumpMode);
            const bool runs =
                mode == nv::kModeManual || (mode == nv::kModeAutomatic && tank_ > kTankOn);
            return Encoded(node_, index, f::kHotWaterPumpOutput, runs ? 100 : 0);
        }
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
