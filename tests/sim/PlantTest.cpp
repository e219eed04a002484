// The heating plant behind the GUI's simulated node, on a simulated clock driven by hand.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <utility>
#include <vector>

#include "node/NodeFields.h"
#include "sim/NodeStateFile.h"
#include "sim/Plant.h"

namespace {

namespace f = node::fields;
using host::Bytes;
using host::Plant;
using host::SimNode;

constexpr double kHour = 3600;

template <typename Image>
void Store(Image& bytes, const node::Field& field, double value) {
    node::StoreNumber(field, value, bytes.data());
}

void SetVariable(SimNode& node, const node::Field& field, double value) {
    Bytes bytes = node.Raw(field.place.nv);
    Store(bytes, field, value);
    node.SetRaw(field.place.nv, bytes);
}

void SetPartField(SimNode& node, const node::Field& field, double value) {
    host::PartImage image = node.Part(field.place.part);
    Store(image, field, value);
    node.SetPart(field.place.part, Bytes(image.begin(), image.end()));
}

double ReadLive(SimNode& node, const node::Field& field) {
    Bytes buffer(32, 0);
    EXPECT_EQ(node.ReadNv(field.place.nv, buffer.data(), 32), S_OK);
    return node::Value(field, buffer.data());
}

// Circuit 1 on a two-point curve (-20 °C: 70 °C, +20 °C: 30 °C) with a night offset of 10 °C,
// calculated set point on, pump Mp1 and valve Mv1 on Automatic, at a steady outdoor temperature.
// The node clock stands at Sunday 9:05; calendar 1 of circuit 1 holds Sunday's day from
// dayStart to dayStop (quarter hours).
struct Rig {
    explicit Rig(double outdoor, int dayStart = 0, int dayStop = 96)
        : plant(node, {.seed = 7, .meanOutdoor = outdoor, .outdoorSwing = 0, .noise = 0}) {
        SetVariable(node, f::kCurvePoints, 2);
        SetVariable(node, f::CurveOutdoor(0), -20);
        SetVariable(node, f::CurveForward(0), 70);
        SetVariable(node, f::CurveOutdoor(1), 20);
        SetVariable(node, f::CurveForward(1), 30);
        SetVariable(node, f::kNightOffset, 10);
        SetPartField(node, f::kCalculatedSetPointOn, 1);
        SetVariable(node, f::kPumpMode[0], nv::kModeAutomatic);
        SetVariable(node, f::kValveMode[0], nv::kModeAutomatic);
        host::PartImage calendar = node.Part(9);
        calendar[1] = static_cast<std::uint8_t>(dayStop);  // Sunday, calendar 1
        calendar[2] = static_cast<std::uint8_t>(dayStart);
        node.SetPart(9, Bytes(calendar.begin(), calendar.end()));
        node.liveValues = [this](int index) { return plant.LiveValue(index); };
    }
    SimNode node;
    Plant plant;
};

TEST(PlantTest, AnAutomaticCircuitSettlesAtItsCurvesSetPoint) {
    struct Case {
        double outdoor;
        int dayStart;
        double setPoint;
    };
    // Day by the calendar, the curve between its points and beyond them; night lowers it.
    for (const Case& c : {Case{-5, 0, 55}, Case{10, 0, 40}, Case{-30, 0, 70}, Case{-5, 40, 45}}) {
        Rig rig(c.outdoor, c.dayStart);
        rig.plant.AdvanceTo(6 * kHour);
        EXPECT_NEAR(ReadLive(rig.node, f::kOutdoorTemperature), c.outdoor, 0.01);
        EXPECT_NEAR(ReadLive(rig.node, f::kCalculatedSetPoint), c.setPoint, 0.01);
        EXPECT_NEAR(ReadLive(rig.node, f::kForwardTemperature[0]), c.setPoint, 0.2);
        EXPECT_TRUE(ReadLive(rig.node, f::kPumpRunning[0]));
        const double ret = ReadLive(rig.node, f::kReturnTemperature[0]);
        const double room = ReadLive(rig.node, f::kRoomTemperature);
        EXPECT_LT(room, ret);
        EXPECT_LT(ret, c.setPoint);
    }
}

TEST(PlantTest, TheConstantTemperaturesHoldWhileTheCalculatedSetPointIsOff) {
    Rig day(-5);
    SetPartField(day.node, f::kCalculatedSetPointOn, 0);
    SetVariable(day.node, f::kConstantDay[0], 48);
    SetVariable(day.node, f::kConstantNight[0], 38);
    day.plant.AdvanceTo(2 * kHour);
    EXPECT_NEAR(ReadLive(day.node, f::kForwardTemperature[0]), 48, 0.2);
    Rig night(-5, 40);
    SetPartField(night.node, f::kCalculatedSetPointOn, 0);
    SetVariable(night.node, f::kConstantNight[0], 38);
    night.plant.AdvanceTo(2 * kHour);
    EXPECT_NEAR(ReadLive(night.node, f::kForwardTemperature[0]), 38, 0.2);
}

TEST(PlantTest, AManualValveAndTheModesOfPumpsAndHeatingElementAreFollowed) {
    Rig rig(0);
    SetVariable(rig.node, f::kValveMode[0], nv::kModeManual);
    SetVariable(rig.node, f::kValveManualOutput[0], 100);
    SetVariable(rig.node, f::kHeatingElementMode, nv::kModeManual);
    rig.plant.AdvanceTo(kHour);
    EXPECT_NEAR(ReadLive(rig.node, f::kValveOutput[0]), 100, 0.01);
    EXPECT_NEAR(ReadLive(rig.node, f::kHeatingElementOutput), 100, 0.01);
    const double open = ReadLive(rig.node, f::kForwardTemperature[0]);
    EXPECT_GT(open, 70);

    SetVariable(rig.node, f::kValveManualOutput[0], 20);
    SetVariable(rig.node, f::kHeatingElementMode, nv::kModeOff);
    rig.plant.AdvanceTo(2 * kHour);
    EXPECT_NEAR(ReadLive(rig.node, f::kValveOutput[0]), 20, 0.01);
    EXPECT_EQ(ReadLive(rig.node, f::kHeatingElementOutput), 0);
    EXPECT_LT(ReadLive(rig.node, f::kForwardTemperature[0]), open - 20);

    SetVariable(rig.node, f::kPumpMode[0], nv::kModeOff);
    rig.plant.AdvanceTo(4 * kHour);
    EXPECT_FALSE(ReadLive(rig.node, f::kPumpRunning[0]));
    EXPECT_NEAR(ReadLive(rig.node, f::kForwardTemperature[0]),
                ReadLive(rig.node, f::kRoomTemperature), 1);
}

// At Sunday 9:05 (quarter hour 36): which of the circuit's calendars holds the time decides
// the state word and day or night; the presence calendar decides the presence detector.
TEST(PlantTest, CalendarsDecideStateNightAndPresence) {
    struct Period {
        int start;
        int stop;
    };
    struct Case {
        Period calendar1, calendar2, holiday, presence;
        int state;
        double setPoint;
        int presenceState;
    };
    const Period none{0, 0};
    const Period now{32, 40};
    const Period later{40, 80};
    for (const Case& c : {
             Case{now, none, none, none, 1, 55, 1},
             Case{later, now, none, now, 2, 55, 0},
             Case{later, later, none, later, 0, 45, 1},
             Case{now, now, now, now, 4, 45, 0},
             Case{now, none, later, none, 1, 55, 1},
         }) {
        Rig rig(-5, c.calendar1.start, c.calendar1.stop);
        host::PartImage week = rig.node.Part(9);
        week[3] = static_cast<std::uint8_t>(c.calendar2.stop);
        week[4] = static_cast<std::uint8_t>(c.calendar2.start);
        week[29] = static_cast<std::uint8_t>(c.holiday.stop);
        week[30] = static_cast<std::uint8_t>(c.holiday.start);
        rig.node.SetPart(9, Bytes(week.begin(), week.end()));
        host::PartImage presence = rig.node.Part(10);
        presence[1] = static_cast<std::uint8_t>(c.presence.stop);
        presence[2] = static_cast<std::uint8_t>(c.presence.start);
        rig.node.SetPart(10, Bytes(presence.begin(), presence.end()));
        rig.plant.AdvanceTo(kHour);
        Bytes state(2);
        ASSERT_EQ(rig.node.ReadNv(nv::kCalendarState1, state.data(), 2), S_OK);
        EXPECT_EQ(state[0] * 256 + state[1], c.state) << c.state;
        EXPECT_NEAR(ReadLive(rig.node, f::kCalculatedSetPoint), c.setPoint, 0.01) << c.state;
        EXPECT_EQ(ReadLive(rig.node, f::kPresenceState[0]), c.presenceState) << c.state;
    }
}

TEST(PlantTest, TheOutdoorCycleRepeatsDailyAndFollowsTheSeed) {
    SimNode node;
    const Plant plant(node, {.seed = 3});
    const Plant same(node, {.seed = 3});
    const Plant other(node, {.seed = 4});
    double coldest = 100;
    double warmest = -100;
    bool seedMatters = false;
    for (double t = 0; t < Plant::kDay; t += 1234) {
        EXPECT_NEAR(plant.OutdoorAt(t), plant.OutdoorAt(t + Plant::kDay), 1e-9);
        EXPECT_NEAR(plant.OutdoorAt(t), plant.OutdoorAt(t + 5 * Plant::kDay), 1e-9);
        EXPECT_EQ(plant.OutdoorAt(t), same.OutdoorAt(t));
        seedMatters = seedMatters || plant.OutdoorAt(t) != other.OutdoorAt(t);
        coldest = std::min(coldest, plant.OutdoorAt(t));
        warmest = std::max(warmest, plant.OutdoorAt(t));
    }
    EXPECT_TRUE(seedMatters);
    EXPECT_GT(warmest - coldest, 9);
    EXPECT_LT(warmest - coldest, 11);
}

TEST(PlantTest, TheStateFileKeepsNoLiveValues) {
    Rig rig(-5);
    rig.plant.AdvanceTo(6 * kHour);
    ASSERT_GT(ReadLive(rig.node, f::kForwardTemperature[0]), 50);
    const auto path = std::filesystem::temp_directory_path() / "vireo-plant-test.json";
    ASSERT_EQ(host::SaveNodeState(path.string(), rig.node), "");
    std::ifstream in(path);
    const auto saved = nlohmann::json::parse(in);
    std::filesystem::remove(path);
    for (int index : {nv::kForwardTemperature1, nv::kRoomTemperature, nv::kOutdoorTemperature,
                      nv::kForwardSetPoint1, nv::kValveOutputMv1, nv::kPumpOutput1,
                      nv::kRotarySwitch1, nv::kPressure}) {
        const std::string hex = saved["variables"][std::to_string(index)];
        EXPECT_EQ(hex.find_first_not_of("0 "), std::string::npos) << index << ": " << hex;
    }
}

// One behaviour of the plant over simulated time: at each moment (simulated seconds from the
// rig's start, in order) the clock is stepped there, the node is changed, and a value checked.
using Change = std::function<void(Rig&)>;
using Probe = std::function<double(Rig&)>;
struct Moment {
    double at;
    Change change;
    Probe probe;
    double expected;
    double tolerance = 0;
};
struct Behaviour {
    const char* name;
    double outdoor;
    std::vector<Moment> moments;
};

Change Set(std::vector<std::pair<node::Field, double>> values) {
    return [values](Rig& rig) {
        for (const auto& [field, value] : values) {
            field.place.part != 0 ? SetPartField(rig.node, field, value)
                                  : SetVariable(rig.node, field, value);
        }
    };
}
Change BreakPump(bool broken) {
    return [broken](Rig& rig) { rig.plant.BreakPump(0, broken); };
}
Probe Live(const node::Field& field) {
    return [field](Rig& rig) { return ReadLive(rig.node, field); };
}
const Probe kTank = [](Rig& rig) { return rig.plant.TankTemperature(); };
const Probe kForward = Live(f::kForwardTemperature[0]);
const Probe kFrost = Live(f::kFrostHeating);
const Probe kLow = Live(f::kLowForwardState[0]);
const Probe kPressureFault = Live(f::kPressureFault[0]);
const Probe kPump = Live(f::kPumpRunning[0]);
namespace position = f::switch_position;

// A set point step from 40 °C to 60 °C at two hours, with the given valve running time: 63 %
// after one running time, a peak below 1 °C past 60 °C, settled after ten.
Behaviour StepResponse(const char* name, double running) {
    const double t = 2 * kHour;
    return {name,
            -5,
            {{0, Set({{f::kCalculatedSetPointOn, 0}, {f::kConstantDay[0], 40}}), kForward, 20},
             {0, Set({{f::kValveRunningTime[0], running}}), kForward, 20},
             {t, Set({{f::kConstantDay[0], 60}}), kForward, 40, 0.05},
             {t + running, {}, kForward, 52.6, 1},
             {t + 2.5 * running, {}, kForward, 60.75, 0.25},
             {t + 10 * running, {}, kForward, 60, 0.05}}};
}

class PlantBehaviour : public testing::TestWithParam<Behaviour> {};

TEST_P(PlantBehaviour, HoldsAtEveryMoment) {
    Rig rig(GetParam().outdoor);
    for (const Moment& m : GetParam().moments) {
        rig.plant.AdvanceTo(m.at);
        if (m.change) {
            m.change(rig);
        }
        EXPECT_NEAR(m.probe(rig), m.expected, m.tolerance) << "at " << m.at << " s";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Plant, PlantBehaviour,
    testing::Values(
        StepResponse("StepWithAFastValve", 120), StepResponse("StepWithASlowValve", 600),
        // Outdoor 5 °C: frost protection starts below its start and stops above its stop.
        Behaviour{"FrostProtectionHysteresis",
                  5,
                  {{600, Set({{f::kFrostStart, 6}}), kFrost, 0},
                   {1200, Set({{f::kFrostStart, 4}}), kFrost, 1},
                   {1800, Set({{f::kFrostStop, 4.5}}), kFrost, 1},
                   {2400, {}, kFrost, 0}}},
        // From 9:05 with nothing charging the tank the noon draw cools it; charging on, it
        // recovers and stops above 60 °C.
        Behaviour{"TankFallsWithUseAndRecovers",
                  -5,
                  {{10400, {}, kTank, 52, 2},
                   {12300, Set({{f::kHotWaterPumpMode, nv::kModeAutomatic}}), kTank, 47, 2},
                   {12300, Set({{f::kHeatingElementMode, nv::kModeAutomatic}}),
                    Live(f::kHotWaterPumpOutput), 100},
                   {16200, {}, kTank, 60, 2},
                   {16200, {}, Live(f::kHotWaterPumpOutput), 0}}},
        // Valve Mv1 closed: after 5 minutes of a low forward temperature the alarm, gone once
        // the valve opens again.
        Behaviour{"LowForwardTemperatureAlarm",
                  -5,
                  {{0, Set({{f::kValveMode[0], nv::kModeManual}}), kLow, 0},
                   {0, Set({{f::kValveManualOutput[0], 0}}), kLow, 0},
                   {240, {}, kLow, 0},
                   {420, Set({{f::kValveMode[0], nv::kModeAutomatic}}), kLow, 1},
                   {1200, {}, kLow, 0}}},
        // Mp1 running builds 2300 Pa: a set point above it is a pressure fault, which stops
        // the pump when so set, until the monitoring is switched off.
        Behaviour{"PressureFaults",
                  -5,
                  {{600, Set({{f::kMonitorPressure[0], 1}}), Live(f::kPressure), 2300},
                   {1200, Set({{f::kPressureSetPoint[0], 2500}}), kPressureFault, 0},
                   {1800, Set({{f::kPressureStopsPump[0], 1}}), kPressureFault, 1},
                   {2400, {}, Live(f::kPressureFaultStop[0]), 1},
                   {2400, Set({{f::kMonitorPressure[0], 0}}), kPump, 0},
                   {3000, {}, kPressureFault, 0},
                   {3000, {}, kPump, 1}}},
        Behaviour{"PumpFault",
                  -5,
                  {{600, BreakPump(true), Live(f::kPumpFault[0]), 0},
                   {1200, BreakPump(false), Live(f::kPumpFault[0]), 1},
                   {1200, {}, kPump, 0},
                   {1800, {}, Live(f::kPumpFault[0]), 0}}},
        // A factory node's switch stands at Calender; at Off the circuit stops (no frost at
        // 10 °C); an override takes the switch's place.
        Behaviour{"RotarySwitchAndOverride",
                  10,
                  {{0, {}, Live(f::kSwitchPosition[0]), position::kCalendar},
                   {600, Set({{f::kSwitchPosition[0], position::kOff}}), kPump, 1},
                   {1200, Set({{f::kOverrideCode[0], position::kDay}}), kPump, 0},
                   {1200, {}, Live(f::kUnitMode[0]), f::kUnitOff},
                   {1800, Set({{f::kOverrideCode[0], position::kNight}}),
                    Live(f::kCalculatedSetPoint), 30}}}),
    [](const testing::TestParamInfo<Behaviour>& info) { return info.param.name; });

}  // namespace
