#pragma once
// Every value of the node that a page shows or edits, declared once, in one table: its name,
// where its bytes live, its codec and unit, the texts of an enumerated value, the range a page
// holds a typed number to, whether the node computes the value (live) and the value the factory
// defaults give it. That table is the catalogue the settings-file viewer, comparisons and
// the write history name values from; the constants the pages bind look their fields up in it
// by name, so a field a page shows is a field the catalogue shows. Circuit twins are arrays:
// [0] circuit 1, [1] circuit 2. The bytes of a variable or part that no field names are carried
// through unchanged by every write.

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

#include "node/NodeField.h"

namespace node::fields {

using Twin = std::array<Field, 2>;
// The analog valves, by number: [0] Mv1, [1] Mv2, [2] Mv3, [3] Mv4.
using Valves = std::array<Field, 4>;

// ---- texts of the enumerated values, and ranges ----

// Rotary switch positions of Sw1 / Sw2 (NV 16 / NV 17); override codes 1 to 6 ask for the
// position of the same number.
namespace switch_position {
inline constexpr int kBoost = 1;
inline constexpr int kNight = 2;
inline constexpr int kDay = 3;
inline constexpr int kOff = 4;
inline constexpr int kCalendar = 5;
inline constexpr int kOccupancy = 6;
}  // namespace switch_position
inline constexpr int kSwitchOff = switch_position::kOff;  // the override radios lock here
inline constexpr Choice kSwitchPositionTexts[] = {
    {switch_position::kBoost, "Boost"},       {switch_position::kNight, "Night"},
    {switch_position::kDay, "Day"},           {kSwitchOff, "Off"},
    {switch_position::kCalendar, "Calender"}, {switch_position::kOccupancy, "Occupancy"}};
inline constexpr Choices kSwitchPositions{kSwitchPositionTexts, "??"};

// Operating modes of the unit (NV 22 / NV 23): the HVAC modes, in the order of their codes.
inline constexpr int kUnitHeating = 1;
inline constexpr int kUnitOff = 6;
inline constexpr Choice kUnitModeTexts[] = {{0, "Auto"},
                                            {kUnitHeating, "Heating"},
                                            {2, "Morning warm-up"},
                                            {3, "Cooling"},
                                            {4, "Night purge"},
                                            {5, "Pre-cool"},
                                            {kUnitOff, "Off"},
                                            {7, "Test"},
                                            {8, "Emergency heat"},
                                            {9, "Fan only"},
                                            {10, "Free cooling"},
                                            {11, "Ice-making"},
                                            {12, "Max heating"},
                                            {13, "Economic heat/cool"},
                                            {14, "Dehumidification"}};
inline constexpr Choices kUnitModes{kUnitModeTexts, "??"};

// Override codes (NV 39 / NV 40), in the order of the status switch page's radios. 255 hands
// control back to the rotary switch, and so does every code without a text of its own.
inline constexpr int kOverrideOff = 4;
inline constexpr int kOverrideNone = 255;
inline constexpr Choice kOverrideTexts[] = {{1, "Boost"},
                                            {2, "Night"},
                                            {3, "Day"},
                                            {kOverrideOff, "Off"},
                                            {5, "Auto"},
                                            {6, "Occupied"},
                                            {kOverrideNone, "Use manual rotary switch"}};
inline constexpr Choices kOverrideCodes{kOverrideTexts, "Use manual rotary switch"};

// Calendar state words (NV 4 / NV 5): which calendar of the circuit is in force. A word without
// a text leaves the page's field as it was.
namespace calendar_state {
inline constexpr int kOff = 0;
inline constexpr int kCalendar1 = 1;
inline constexpr int kCalendar2 = 2;
inline constexpr int kHolidayInactive = 3;
inline constexpr int kHolidayActive = 4;
}  // namespace calendar_state
inline constexpr Choice kCalendarStateTexts[] = {
    {calendar_state::kOff, "Off"},
    {calendar_state::kCalendar1, "Calender1 active"},
    {calendar_state::kCalendar2, "Calender2 active"},
    {calendar_state::kHolidayInactive, "Holiday inactive"},
    {calendar_state::kHolidayActive, "Holiday active"}};
inline constexpr Choices kCalendarStates{kCalendarStateTexts, ""};

// Presence detector states (NV 8 / NV 9).
inline constexpr int kOccupied = 0;
inline constexpr int kUnoccupied = 1;
inline constexpr Choice kPresenceTexts[] = {{kOccupied, "occupied"}, {kUnoccupied, "unoccupied"}};
inline constexpr Choices kPresenceStates{kPresenceTexts, "out of range"};

// The curve points a temperature settings record holds; a page lets it use 2 to 5 of them.
inline constexpr int kCurvePointCount = 5;
inline constexpr Range kCurvePointRange{2, kCurvePointCount,
                                        "Value must be between 2 and 5. Value set to 2",
                                        "Value must be between 2 and 5. Value set to 5"};

// ---- how fields are laid out where a rule places many of them ----

// The temperature settings records NV 37 / NV 38.
inline constexpr Place kTempRecord[2] = {Variable(nv::kTemp1PlugIn), Variable(nv::kTemp2PlugIn)};
// Curve point k (0 to 4) of circuit 1's record: outdoor temperature at bytes 1 + 2k, forward
// temperature at 11 + 2k.
constexpr Field CurveOutdoor(int k) {
    return {"curve point outdoor temperature", Variable(nv::kTemp1PlugIn), 1 + 2 * k,
            Codec::SignedHundredths, "°C"};
}
constexpr Field CurveForward(int k) {
    return {"curve point forward temperature", Variable(nv::kTemp1PlugIn), 11 + 2 * k,
            Codec::SignedHundredths, "°C"};
}

// A mode word of NV 25.
constexpr Field ModeWord(std::string_view name, int offset) {
    return {name, Variable(nv::kModeWords), offset, Codec::Mode, ""};
}

// Calendar parts: switching times in quarter hours. A part holds seven days from Sunday
// (byte 1), four bytes each: calendar 1 stop, calendar 1 start, calendar 2 stop, calendar 2
// start. A week calendar part ends with the holiday stop and start (bytes 29 and 30).
enum class Edge : std::uint8_t { Stop, Start };  // a stop comes before its start
inline constexpr std::array<std::string_view, 7> kDays = {
    "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
inline constexpr int kWeekPart[2] = {9, 11};
inline constexpr int kPresencePart[2] = {10, 12};
inline constexpr int kHotWaterPart = 12;

// The byte of a day's (0 Sunday) stop or start of calendar 0 or 1.
constexpr int CalendarByte(int day, int calendar, Edge edge) {
    return 1 + 4 * day + 2 * calendar + (edge == Edge::Start ? 1 : 0);
}
constexpr Field CalendarTime(std::string_view name, int part, int offset) {
    return {name, Part(part), offset, Codec::QuarterHours, ""};
}
// Calendar 0 or 1 of a circuit's week calendar.
constexpr Field WeekTime(int circuit, int calendar, int day, Edge edge) {
    const bool start = edge == Edge::Start;
    const std::string_view name = calendar == 0 ? (start ? "calendar 1 start" : "calendar 1 stop")
                                                : (start ? "calendar 2 start" : "calendar 2 stop");
    return CalendarTime(name, circuit == 0 ? kWeekPart[0] : kWeekPart[1],
                        CalendarByte(day, calendar, edge));
}
constexpr Field HolidayTime(int circuit, Edge edge) {
    const bool start = edge == Edge::Start;
    return CalendarTime(start ? "holiday start" : "holiday stop",
                        circuit == 0 ? kWeekPart[0] : kWeekPart[1], start ? 30 : 29);
}
// A circuit's presence calendar takes the calendar 1 positions of its part.
constexpr Field PresenceTime(int circuit, int day, Edge edge) {
    return CalendarTime(edge == Edge::Start ? "presence start" : "presence stop",
                        circuit == 0 ? kPresencePart[0] : kPresencePart[1],
                        CalendarByte(day, 0, edge));
}
// The hot-water tank's calendar takes the calendar 2 positions of part 12.
constexpr Field HotWaterTime(int day, Edge edge) {
    return CalendarTime(edge == Edge::Start ? "hot-water tank start" : "hot-water tank stop",
                        kHotWaterPart, CalendarByte(day, 1, edge));
}

// Byte 0 of a calendar part: no page shows it, and every calendar write sends it as 0.
constexpr Field CalendarLeadByte(int part) {
    return {"calendar lead byte, written as 0", Part(part), 0, Codec::SignedByte, ""};
}

// ---- groups of the table ----
namespace declare {

template <std::size_t N>
using Entries = std::array<CatalogueEntry, N>;

constexpr Entries<1> Single(const Field& field) {
    return {{{field, {}}}};
}
// Circuit twins; twins named alike are told apart by their circuit.
constexpr Entries<2> Circuits(const Field& one, const Field& two) {
    const bool alike = one.name == two.name;
    return {{{one, alike ? "circuit 1" : ""}, {two, alike ? "circuit 2" : ""}}};
}
constexpr Entries<4> FourValves(const Field& mv1, const Field& mv2, const Field& mv3,
                                const Field& mv4) {
    return {{{mv1, {}}, {mv2, {}}, {mv3, {}}, {mv4, {}}}};
}
// Circuit 1's curve; the factory's runs from 70 degrees forward at -12 outside to 35 at 20.
constexpr Entries<2 * kCurvePointCount> CurvePoints() {
    constexpr std::string_view kPoint[kCurvePointCount] = {"point 1", "point 2", "point 3",
                                                           "point 4", "point 5"};
    constexpr double kFactoryOutdoor[kCurvePointCount] = {-12, 20};
    constexpr double kFactoryForward[kCurvePointCount] = {70, 35};
    Entries<2 * kCurvePointCount> entries{};
    for (int k = 0; k < kCurvePointCount; ++k) {
        const auto at = static_cast<std::size_t>(2 * k);
        entries[at] = {Factory(CurveOutdoor(k), kFactoryOutdoor[at / 2]), kPoint[at / 2]};
        entries[at + 1] = {Factory(CurveForward(k), kFactoryForward[at / 2]), kPoint[at / 2]};
    }
    return entries;
}
// The days of a calendar, told apart by their day; time(day, edge) gives the field.
template <typename Time>
constexpr Entries<14> Days(Time time) {
    Entries<14> entries{};
    for (std::size_t day = 0; day < kDays.size(); ++day) {
        entries[2 * day] = {time(static_cast<int>(day), Edge::Stop), kDays[day]};
        entries[2 * day + 1] = {time(static_cast<int>(day), Edge::Start), kDays[day]};
    }
    return entries;
}
// Values the node computes: read only.
template <std::size_t N>
constexpr Entries<N> Live(Entries<N> entries) {
    for (CatalogueEntry& entry : entries) {
        entry.field.live = true;
    }
    return entries;
}
// Circuit twins with the same factory value.
constexpr Entries<2> FactoryCircuits(double value, const Field& one, const Field& two) {
    return Circuits(Factory(one, value), Factory(two, value));
}
template <std::size_t... N>
constexpr auto Join(const Entries<N>&... groups) {
    Entries<(N + ...)> all{};
    auto at = all.begin();
    ((at = std::copy(groups.begin(), groups.end(), at)), ...);
    return all;
}
constexpr Entries<30> WeekCalendar(int circuit) {
    const auto calendar = [circuit](int c) {
        return Days([circuit, c](int day, Edge edge) { return WeekTime(circuit, c, day, edge); });
    };
    return Join(calendar(0), calendar(1),
                Entries<2>{{{HolidayTime(circuit, Edge::Stop), {}},
                            {HolidayTime(circuit, Edge::Start), {}}}});
}

}  // namespace declare

// ---- every declared field ----
inline constexpr auto kDeclared = [] {
    using namespace declare;
    constexpr auto kHundredths = Codec::SignedHundredths;
    return Join(
        // ---- live values ----
        Live(Join(
            Single(
                {"actual room temperature", Variable(nv::kRoomTemperature), 0, kHundredths, "°C"}),
            Circuits({"actual return temperature", Variable(nv::kReturnTemperature1), 0,
                      kHundredths, "°C"},
                     {"actual return temperature", Variable(nv::kReturnTemperature2), 0,
                      kHundredths, "°C"}),
            Circuits({"actual forward temperature", Variable(nv::kForwardTemperature1), 0,
                      kHundredths, "°C"},
                     {"actual forward temperature", Variable(nv::kForwardTemperature2), 0,
                      kHundredths, "°C"}),
            Single({"measured outdoor temperature", Variable(nv::kOutdoorSensor), 0, kHundredths,
                    "°C"}),
            Single({"outdoor temperature in use", Variable(nv::kOutdoorTemperature), 0, kHundredths,
                    "°C"}),
            Single({"calculated forward set point", Variable(nv::kForwardSetPoint1), 0, kHundredths,
                    "°C"}),
            Circuits({"presence state", Variable(nv::kPresence1), 0, Codec::SignedByte, "", 0,
                      &kPresenceStates},
                     {"presence state", Variable(nv::kPresence2), 0, Codec::SignedByte, "", 0,
                      &kPresenceStates}),
            Circuits({"calendar state", Variable(nv::kCalendarState1), 0, Codec::Word, "", 0,
                      &kCalendarStates},
                     {"calendar state", Variable(nv::kCalendarState2), 0, Codec::Word, "", 0,
                      &kCalendarStates}),
            Circuits({"rotary switch position", Variable(nv::kRotarySwitch1), 0, Codec::Word, "", 0,
                      &kSwitchPositions},
                     {"rotary switch position", Variable(nv::kRotarySwitch2), 0, Codec::Word, "", 0,
                      &kSwitchPositions}),
            Circuits({"unit operating mode", Variable(nv::kUnitMode1), 0, Codec::SignedByte, "", 0,
                      &kUnitModes},
                     {"unit operating mode", Variable(nv::kUnitMode2), 0, Codec::SignedByte, "", 0,
                      &kUnitModes}),
            Single({"actual pressure", Variable(nv::kPressure), 0, Codec::Word, "Pa"}),
            Single(Flag("frost protection heating", Variable(nv::kStatusFlags), 0, 0x40)),
            // Pump outputs: byte 1 not 0 means running. Alarm bytes of NV 35: Mp1 byte 1, Mp2
            // byte 0.
            Circuits(Flag("pump Mp1 running", Variable(nv::kPumpOutput1), 1, 0xFF),
                     Flag("pump Mp2 running", Variable(nv::kPumpOutput2), 1, 0xFF)),
            Circuits(Flag("pump fault Mp1", Variable(nv::kStatusFlags), 1, 0x01),
                     Flag("pump fault Mp2", Variable(nv::kStatusFlags), 0, 0x01)),
            Circuits(
                Flag("pressure fault with pump stop Mp1", Variable(nv::kStatusFlags), 1, 0x20),
                Flag("pressure fault with pump stop Mp2", Variable(nv::kStatusFlags), 0, 0x20)),
            Circuits(Flag("pressure fault Mp1", Variable(nv::kStatusFlags), 1, 0x10),
                     Flag("pressure fault Mp2", Variable(nv::kStatusFlags), 0, 0x10)),
            Circuits(Flag("low forward temperature", Variable(nv::kStatusFlags), 0, 0x08),
                     Flag("low forward temperature", Variable(nv::kStatusFlags), 1, 0x08)))),

        // ---- part 1: flags and the variant word ----
        Single(Flag("night lowering after room temperature", Part(1), 2, 0x02)),
        Single(Flag("summer stop", Part(1), 2, 0x04)),
        Single(Factory(Flag("frost protection", Part(1), 2, 0x08), 1)),
        Single(Factory(Flag("calculated set point", Part(1), 2, 0x10), 1)),
        Circuits(Flag("night lowering", Part(1), 2, 0x01),
                 Flag("night lowering", Part(1), 8, 0x01)),
        Single(Flag("analog pressure sensor", Part(1), 10, 0x02)),
        Circuits(Flag("monitor pressure VI1", Part(1), 10, 0x04),
                 Flag("monitor pressure VI2", Part(1), 10, 0x08)),
        Circuits(Flag("pressure fault stops pump VI1", Part(1), 10, 0x10),
                 Flag("pressure fault stops pump VI2", Part(1), 10, 0x20)),
        // Not 0: the sheet opens with page set 1.
        Single(Factory({"variant word", Part(nv::kVariantPart), nv::kVariantHigh, Codec::Word, ""},
                       2)),

        // ---- part 2: sensor offsets and frost protection ----
        Single({"outdoor sensor offset", Part(2), 1, kHundredths, "°C"}),
        Circuits({"forward sensor offset", Part(2), 3, kHundredths, "°C"},
                 {"forward sensor offset", Part(2), 15, kHundredths, "°C"}),
        Circuits({"return sensor offset", Part(2), 5, kHundredths, "°C"},
                 {"return sensor offset", Part(2), 17, kHundredths, "°C"}),
        Single(Factory({"frost protection outdoor start", Part(2), 19, kHundredths, "°C"}, 4)),
        Single(Factory({"frost protection outdoor stop", Part(2), 21, kHundredths, "°C"}, 8)),
        Single({"frost protection return temperature", Part(2), 27, kHundredths, "°C"}),

        // ---- part 3: summer stop and low forward temperature ----
        Single(Factory({"temperature before summer stop", Part(3), 1, kHundredths, "°C"}, 20)),
        Single(Factory({"time before pump stop", Part(3), 3, Codec::Tenths, "s"}, 0.5)),
        FactoryCircuits(7, {"low forward temperature offset", Part(3), 13, kHundredths, "°C"},
                        {"low forward temperature offset", Part(3), 17, kHundredths, "°C"}),
        FactoryCircuits(5, {"low forward temperature delay", Part(3), 15, Codec::Word, "min"},
                        {"low forward temperature delay", Part(3), 19, Codec::Word, "min"}),

        // ---- part 4: room set point; bactericidal heating of the hot-water tank ----
        Single(Factory({"room set point", Part(4), 1, kHundredths, "°C"}, 15)),
        Single(Factory({"bactericidal delta temperature", Part(4), 7, kHundredths, "°C"}, 2)),
        Single(Factory({"bactericidal delta time", Part(4), 9, Codec::Word, "min"}, 5)),
        Single(Factory({"bactericidal minimum temperature", Part(4), 11, kHundredths, "°C"}, 80)),
        Single(Factory({"bactericidal temperature raising period", Part(4), 13, Codec::Word, "min"},
                       15)),
        Single(Factory({"bactericidal pump stop delay", Part(4), 15, Codec::Word, "min"}, 5)),

        // ---- part 5 and 7: digital valve and exercise; the calibration time of day ----
        FactoryCircuits(180, {"valve running time", Part(5), 1, Codec::Tenths, "s"},
                        {"valve running time", Part(5), 13, Codec::Tenths, "s"}),
        FactoryCircuits(30, {"pause before next valve move", Part(5), 3, Codec::Tenths, "s"},
                        {"pause before next valve move", Part(5), 15, Codec::Tenths, "s"}),
        FactoryCircuits(168, {"pump idle time before exercise", Part(7), 1, Codec::Word, "h"},
                        {"pump idle time before exercise", Part(7), 13, Codec::Word, "h"}),
        FactoryCircuits(168, {"valve idle time before exercise", Part(7), 3, Codec::Word, "h"},
                        {"valve idle time before exercise", Part(7), 15, Codec::Word, "h"}),
        // 4:00 in minutes.
        FactoryCircuits(
            240,
            {"valve calibration time", Variable(nv::kCalcValve1), 0, Codec::HourMinuteBytes, ""},
            {"valve calibration time", Variable(nv::kCalcValve2), 0, Codec::HourMinuteBytes, ""}),

        // ---- part 6: pressure; cascade changeover outputs ----
        Single({"pressure sensor minimum", Part(6), 1, Codec::Word, "Pa"}),
        Single(Factory({"pressure sensor maximum", Part(6), 3, Codec::Word, "Pa"}, 10000)),
        Single({"pressure sensor offset", Part(6), 5, Codec::Word, "Pa"}),
        FactoryCircuits(2000, {"pressure set point VI1", Part(6), 7, Codec::Word, "Pa"},
                        {"pressure set point VI2", Part(6), 9, Codec::Word, "Pa"}),
        FactoryCircuits(25,
                        {"cascade changeover output", Part(nv::kCascadeOutputPart),
                         nv::kCascadeOutputCircuit1, Codec::HalfSteps, "%"},
                        {"cascade changeover output", Part(nv::kCascadeOutputPart),
                         nv::kCascadeOutputCircuit2, Codec::HalfSteps, "%"}),

        // ---- part 8: PID of valves Mv1 and Mv2 ----
        FactoryCircuits(10, {"PID P", Part(8), 1, Codec::DecimalTenths, ""},
                        {"PID P", Part(8), 19, Codec::DecimalTenths, ""}),
        FactoryCircuits(60, {"PID I", Part(8), 3, Codec::Word, ""},
                        {"PID I", Part(8), 21, Codec::Word, ""}),
        FactoryCircuits(5, {"PID D", Part(8), 5, Codec::Word, ""},
                        {"PID D", Part(8), 23, Codec::Word, ""}),

        // ---- parts 9 to 12: the calendars ----
        Single(CalendarLeadByte(kWeekPart[0])), Single(CalendarLeadByte(kWeekPart[1])),
        Single(CalendarLeadByte(kPresencePart[0])), Single(CalendarLeadByte(kPresencePart[1])),
        WeekCalendar(0), WeekCalendar(1),
        Days([](int day, Edge edge) { return PresenceTime(0, day, edge); }),
        Days([](int day, Edge edge) { return PresenceTime(1, day, edge); }), Days(HotWaterTime),

        // ---- extended operation: NV 36, the delays before each temperature of a circuit ----
        Circuits({"delay before boost temperature", Variable(nv::kExtendedDelays),
                  nv::kDelaysCircuit1, Codec::HourMinuteWords, ""},
                 {"delay before boost temperature", Variable(nv::kExtendedDelays),
                  nv::kDelaysCircuit2, Codec::HourMinuteWords, ""}),
        Circuits({"delay before day temperature", Variable(nv::kExtendedDelays),
                  nv::kDelaysCircuit1 + 4, Codec::HourMinuteWords, ""},
                 {"delay before day temperature", Variable(nv::kExtendedDelays),
                  nv::kDelaysCircuit2 + 4, Codec::HourMinuteWords, ""}),
        Circuits({"delay before night temperature", Variable(nv::kExtendedDelays),
                  nv::kDelaysCircuit1 + 8, Codec::HourMinuteWords, ""},
                 {"delay before night temperature", Variable(nv::kExtendedDelays),
                  nv::kDelaysCircuit2 + 8, Codec::HourMinuteWords, ""}),

        // ---- override codes NV 39 / NV 40 ----
        FactoryCircuits(
            kOverrideNone,
            {"override code", Variable(nv::kSwitchExt1), 0, Codec::Word, "", 0, &kOverrideCodes},
            {"override code", Variable(nv::kSwitchExt2), 0, Codec::Word, "", 0, &kOverrideCodes}),

        // ---- temperature settings records NV 37 / NV 38 ----
        Single(Factory({"number of curve points", Variable(nv::kTemp1PlugIn), 0, Codec::SignedByte,
                        "", 0, nullptr, &kCurvePointRange},
                       2)),
        CurvePoints(),
        Single(Factory({"night offset", Variable(nv::kTemp1PlugIn), 21, kHundredths, "°C"}, 5)),
        FactoryCircuits(
            33, {"maximum return temperature", Variable(nv::kTemp1PlugIn), 23, kHundredths, "°C"},
            {"maximum return temperature", Variable(nv::kTemp2PlugIn), 23, kHundredths, "°C"}),
        FactoryCircuits(
            5, {"return temperature dead band", Variable(nv::kTemp1PlugIn), 25, kHundredths, "°C"},
            {"return temperature dead band", Variable(nv::kTemp2PlugIn), 25, kHundredths, "°C"}),
        FactoryCircuits(
            70, {"constant day temperature", Variable(nv::kTemp1PlugIn), 27, kHundredths, "°C"},
            {"constant day temperature", Variable(nv::kTemp2PlugIn), 27, kHundredths, "°C"}),
        FactoryCircuits(
            55, {"constant night temperature", Variable(nv::kTemp1PlugIn), 29, kHundredths, "°C"},
            {"constant night temperature", Variable(nv::kTemp2PlugIn), 29, kHundredths, "°C"}),

        // ---- pumps, valves and the hot-water tank ----
        FourValves(ModeWord("mode of valve Mv1", nv::kModeValveMv1),
                   ModeWord("mode of valve Mv2", nv::kModeValveMv2),
                   ModeWord("mode of valve Mv3", nv::kModeValveMv3),
                   ModeWord("mode of valve Mv4", nv::kModeValveMv4)),
        FourValves({"manual output of valve Mv1", Variable(nv::kManualOutputs),
                    nv::kManualOutputMv1, Codec::HalfSteps, "%"},
                   {"manual output of valve Mv2", Variable(nv::kManualOutputs),
                    nv::kManualOutputMv2, Codec::HalfSteps, "%"},
                   {"manual output of valve Mv3", Variable(nv::kManualOutputs),
                    nv::kManualOutputMv3, Codec::HalfSteps, "%"},
                   {"manual output of valve Mv4", Variable(nv::kManualOutputs),
                    nv::kManualOutputMv4, Codec::HalfSteps, "%"}),
        Live(FourValves(
            {"output of valve Mv1", Variable(nv::kValveOutputMv1), 0, Codec::HalfHundredths, "%"},
            {"output of valve Mv2", Variable(nv::kValveOutputMv2), 0, Codec::HalfHundredths, "%"},
            {"output of valve Mv3", Variable(nv::kValveOutputMv3), 0, Codec::HalfHundredths, "%"},
            {"output of valve Mv4", Variable(nv::kValveOutputMv4), 0, Codec::HalfHundredths, "%"})),
        FourValves(Flag("valve Mv1 2-10 volt", Part(1), nv::kVoltageFlagsByte, 0x01),
                   Flag("valve Mv2 2-10 volt", Part(1), nv::kVoltageFlagsByte, 0x40),
                   Flag("valve Mv3 2-10 volt", Part(1), nv::kVoltageFlagsByte, 0x02),
                   Flag("valve Mv4 2-10 volt", Part(1), nv::kVoltageFlagsByte, 0x80)),
        FourValves(Flag("valve Mv1 inverted", Part(1), nv::kInvertFlagsByte, 0x01),
                   Flag("valve Mv2 inverted", Part(1), nv::kInvertFlagsByte, 0x40),
                   Flag("valve Mv3 inverted", Part(1), nv::kInvertFlagsByte, 0x02),
                   Flag("valve Mv4 inverted", Part(1), nv::kInvertFlagsByte, 0x80)),
        Circuits(Flag("cascade", Part(1), nv::kCascadeFlagsByte, 0x01),
                 Flag("cascade", Part(1), nv::kCascadeFlagsByte, 0x08)),
        Circuits(ModeWord("mode of pump Mp1", nv::kModePumpMp1),
                 ModeWord("mode of pump Mp2", nv::kModePumpMp2)),
        Single(ModeWord("mode of pump Mp3", nv::kModeHotWaterPump)),
        Single(ModeWord("mode of the heating element", nv::kModeHeatingElement)),
        Single(Factory(
            {"running time of pump Mp3", Variable(nv::kTimePump3), 0, Codec::Tenths, "s"}, 300)),
        Live(Join(Single({"output of pump Mp3", Variable(nv::kHotWaterPumpOutput), 0,
                          Codec::HalfSteps, "%"}),
                  Single({"output of the heating element", Variable(nv::kHeatingElementOutput), 0,
                          Codec::HalfSteps, "%"}))));
}();

// What the factory defaults write into bytes of the configuration that no field names (the
// high bits of part 1 byte 2, circuit 2's curve point count, words no page shows), each as a
// nameless field that only the factory image and the check below use.
inline constexpr auto kFactoryUnnamed = [] {
    const auto word = [](int part, int offset, double value) {
        return Factory({"", Part(part), offset, Codec::Word, ""}, value);
    };
    return std::array{Factory({"", Variable(nv::kTemp2PlugIn), 0, Codec::SignedByte, ""}, 2),
                      Factory(Flag("", Part(1), 2, 0xC0), 1),
                      word(1, 3, 216),
                      word(1, 5, 80),
                      word(2, 23, 400),
                      word(2, 25, 800),
                      word(3, 5, 2000),
                      word(3, 7, 5),
                      word(3, 9, 1500),
                      word(3, 11, 5),
                      word(3, 21, 65336),
                      word(3, 23, 3000),
                      word(3, 25, 200),
                      word(4, 3, 1500),
                      word(4, 5, 2800),
                      word(5, 5, 1800),
                      word(5, 7, 300),
                      word(5, 9, 1800),
                      word(5, 11, 300),
                      word(6, 13, 50),
                      word(6, 15, 50),
                      word(7, 5, 168),
                      word(7, 7, 168),
                      word(7, 9, 168),
                      word(7, 11, 168),
                      word(7, 17, 168),
                      word(8, 7, 100),
                      word(8, 9, 60),
                      word(8, 11, 5),
                      word(8, 13, 100),
                      word(8, 15, 60),
                      word(8, 17, 5)};
}();

namespace declare {

// Whether two of the fields (named or the factory's nameless ones) claim the same bits.
consteval bool AnyClaimTwice() {
    std::array<Field, kDeclared.size() + kFactoryUnnamed.size()> all{};
    std::size_t count = 0;
    for (const CatalogueEntry& entry : kDeclared) {
        all[count++] = entry.field;
    }
    for (const Field& field : kFactoryUnnamed) {
        all[count++] = field;
    }
    for (std::size_t i = 0; i < all.size(); ++i) {
        for (std::size_t j = i + 1; j < all.size(); ++j) {
            if (ClaimTheSameBits(all[i], all[j])) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace declare

static_assert(!declare::AnyClaimTwice(), "two fields claim the same bits of a variable or part");

// ---- the fields by name ----
namespace declare {

// The one declared field of that name; a name declared twice, or not at all, does not compile.
consteval Field Named(std::string_view name) {
    // An index, not a pointer: address comparisons are not constant under the sanitizers.
    std::size_t found = kDeclared.size();
    for (std::size_t i = 0; i < kDeclared.size(); ++i) {
        if (kDeclared[i].field.name == name) {
            if (found != kDeclared.size()) {
                throw "a field of this name is declared twice";
            }
            found = i;
        }
    }
    if (found == kDeclared.size()) {
        throw "no field of this name is declared";
    }
    return kDeclared[found].field;
}
// The two declared fields of that name, circuit 1 first.
consteval Twin NamedTwins(std::string_view name) {
    Twin twin{};
    int count = 0;
    for (const CatalogueEntry& entry : kDeclared) {
        if (entry.field.name == name) {
            if (count == 2) {
                throw "more than two fields of this name are declared";
            }
            twin[static_cast<std::size_t>(count++)] = entry.field;
        }
    }
    if (count != 2) {
        throw "not two fields of this name are declared";
    }
    return twin;
}
consteval Twin NamedPair(std::string_view one, std::string_view two) {
    return {Named(one), Named(two)};
}
consteval Valves NamedValves(std::string_view mv1, std::string_view mv2, std::string_view mv3,
                             std::string_view mv4) {
    return {Named(mv1), Named(mv2), Named(mv3), Named(mv4)};
}

}  // namespace declare

using declare::Named;
using declare::NamedPair;
using declare::NamedTwins;
using declare::NamedValves;

// ---- live values ----
inline constexpr Field kRoomTemperature = Named("actual room temperature");
inline constexpr Twin kReturnTemperature = NamedTwins("actual return temperature");
inline constexpr Twin kForwardTemperature = NamedTwins("actual forward temperature");
inline constexpr Field kOutdoorSensor = Named("measured outdoor temperature");
inline constexpr Field kOutdoorTemperature = Named("outdoor temperature in use");
inline constexpr Field kCalculatedSetPoint = Named("calculated forward set point");
inline constexpr Twin kPresenceState = NamedTwins("presence state");
inline constexpr Twin kCalendarState = NamedTwins("calendar state");
inline constexpr Twin kSwitchPosition = NamedTwins("rotary switch position");
inline constexpr Twin kUnitMode = NamedTwins("unit operating mode");
inline constexpr Field kPressure = Named("actual pressure");
inline constexpr Field kFrostHeating = Named("frost protection heating");
inline constexpr Twin kPumpRunning = NamedPair("pump Mp1 running", "pump Mp2 running");
inline constexpr Twin kPumpFault = NamedPair("pump fault Mp1", "pump fault Mp2");
inline constexpr Twin kPressureFaultStop =
    NamedPair("pressure fault with pump stop Mp1", "pressure fault with pump stop Mp2");
inline constexpr Twin kPressureFault = NamedPair("pressure fault Mp1", "pressure fault Mp2");
inline constexpr Twin kLowForwardState = NamedTwins("low forward temperature");

// ---- part 1 ----
inline constexpr Field kNightLowering1 = NamedTwins("night lowering")[0];
inline constexpr Field kNightLowering2 = NamedTwins("night lowering")[1];
inline constexpr Field kRoomStartStop = Named("night lowering after room temperature");
inline constexpr Field kSummerStopOn = Named("summer stop");
inline constexpr Field kFrostProtection = Named("frost protection");
inline constexpr Field kCalculatedSetPointOn = Named("calculated set point");
inline constexpr Field kAnalogPressureSensor = Named("analog pressure sensor");
inline constexpr Twin kMonitorPressure = NamedPair("monitor pressure VI1", "monitor pressure VI2");
inline constexpr Twin kPressureStopsPump =
    NamedPair("pressure fault stops pump VI1", "pressure fault stops pump VI2");
inline constexpr Field kVariantWord = Named("variant word");

// ---- part 2 ----
inline constexpr Field kOutdoorOffset = Named("outdoor sensor offset");
inline constexpr Twin kForwardOffset = NamedTwins("forward sensor offset");
inline constexpr Twin kReturnOffset = NamedTwins("return sensor offset");
inline constexpr Field kFrostStart = Named("frost protection outdoor start");
inline constexpr Field kFrostStop = Named("frost protection outdoor stop");
inline constexpr Field kFrostReturn = Named("frost protection return temperature");

// ---- part 3 ----
inline constexpr Field kSummerStopTemperature = Named("temperature before summer stop");
inline constexpr Field kPumpStopDelay = Named("time before pump stop");
inline constexpr Twin kLowForwardOffset = NamedTwins("low forward temperature offset");
inline constexpr Twin kLowForwardDelay = NamedTwins("low forward temperature delay");

// ---- part 4 ----
inline constexpr Field kRoomSetPoint = Named("room set point");
inline constexpr Field kBactericidalDeltaTemperature = Named("bactericidal delta temperature");
inline constexpr Field kBactericidalDeltaTime = Named("bactericidal delta time");
inline constexpr Field kBactericidalMinTemperature = Named("bactericidal minimum temperature");
inline constexpr Field kBactericidalRaisingPeriod =
    Named("bactericidal temperature raising period");
inline constexpr Field kBactericidalPumpStopDelay = Named("bactericidal pump stop delay");

// ---- parts 5 and 7, NV 42 / NV 43 ----
inline constexpr Twin kValveRunningTime = NamedTwins("valve running time");
inline constexpr Twin kValvePause = NamedTwins("pause before next valve move");
inline constexpr Twin kPumpIdleTime = NamedTwins("pump idle time before exercise");
inline constexpr Twin kValveIdleTime = NamedTwins("valve idle time before exercise");
inline constexpr Twin kCalibrationTime = NamedTwins("valve calibration time");

// ---- part 6 ----
inline constexpr Field kPressureMin = Named("pressure sensor minimum");
inline constexpr Field kPressureMax = Named("pressure sensor maximum");
inline constexpr Field kPressureOffset = Named("pressure sensor offset");
inline constexpr Twin kPressureSetPoint =
    NamedPair("pressure set point VI1", "pressure set point VI2");
inline constexpr Twin kCascadeOutput = NamedTwins("cascade changeover output");

// ---- part 8 ----
inline constexpr Twin kPidP = NamedTwins("PID P");
inline constexpr Twin kPidI = NamedTwins("PID I");
inline constexpr Twin kPidD = NamedTwins("PID D");

// ---- NV 36 ----
inline constexpr Twin kBoostDelay = NamedTwins("delay before boost temperature");
inline constexpr Twin kDayDelay = NamedTwins("delay before day temperature");
inline constexpr Twin kNightDelay = NamedTwins("delay before night temperature");

// ---- NV 39 / NV 40 ----
inline constexpr Twin kOverrideCode = NamedTwins("override code");

// ---- NV 37 / NV 38 ----
inline constexpr Field kCurvePoints = Named("number of curve points");
inline constexpr Field kNightOffset = Named("night offset");
inline constexpr Twin kMaxReturn = NamedTwins("maximum return temperature");
inline constexpr Twin kReturnDeadBand = NamedTwins("return temperature dead band");
inline constexpr Twin kConstantDay = NamedTwins("constant day temperature");
inline constexpr Twin kConstantNight = NamedTwins("constant night temperature");

// ---- pumps, valves and the hot-water tank ----
inline constexpr Valves kValveMode =
    NamedValves("mode of valve Mv1", "mode of valve Mv2", "mode of valve Mv3", "mode of valve Mv4");
inline constexpr Valves kValveManualOutput =
    NamedValves("manual output of valve Mv1", "manual output of valve Mv2",
                "manual output of valve Mv3", "manual output of valve Mv4");
inline constexpr Valves kValveOutput = NamedValves("output of valve Mv1", "output of valve Mv2",
                                                   "output of valve Mv3", "output of valve Mv4");
inline constexpr Valves kValveTwoToTenVolt = NamedValves(
    "valve Mv1 2-10 volt", "valve Mv2 2-10 volt", "valve Mv3 2-10 volt", "valve Mv4 2-10 volt");
inline constexpr Valves kValveInvert = NamedValves("valve Mv1 inverted", "valve Mv2 inverted",
                                                   "valve Mv3 inverted", "valve Mv4 inverted");
inline constexpr Twin kCascadeOn = NamedTwins("cascade");
inline constexpr Twin kPumpMode = NamedPair("mode of pump Mp1", "mode of pump Mp2");
inline constexpr Field kHotWaterPumpMode = Named("mode of pump Mp3");
inline constexpr Field kHeatingElementMode = Named("mode of the heating element");
inline constexpr Field kHotWaterRunningTime = Named("running time of pump Mp3");
inline constexpr Field kHotWaterPumpOutput = Named("output of pump Mp3");
inline constexpr Field kHeatingElementOutput = Named("output of the heating element");

}  // namespace node::fields
