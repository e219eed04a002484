#include "node/FieldCatalogue.h"

#include <algorithm>

#include "node/NodeFields.h"

namespace node {
namespace {

namespace f = fields;

constexpr std::string_view kCircuit[2] = {"circuit 1", "circuit 2"};
constexpr std::string_view kPoint[5] = {"point 1", "point 2", "point 3", "point 4", "point 5"};

// Twins named alike are told apart by their circuit.
template <std::size_t N>
void AddAll(std::vector<CatalogueEntry>& list, const std::array<Field, N>& fields) {
    for (std::size_t i = 0; i < N; ++i) {
        const bool alike = N == 2 && fields[0].name == fields[1].name;
        list.push_back({fields[i], alike ? kCircuit[i] : std::string_view()});
    }
}

std::vector<CatalogueEntry> Build() {
    std::vector<CatalogueEntry> list;
    for (const Field& field : {f::kRoomTemperature,
                               f::kOutdoorSensor,
                               f::kOutdoorTemperature,
                               f::kCalculatedSetPoint,
                               f::kPressure,
                               f::kFrostHeating,
                               f::kRoomStartStop,
                               f::kSummerStopOn,
                               f::kFrostProtection,
                               f::kCalculatedSetPointOn,
                               f::kAnalogPressureSensor,
                               f::kVariantWord,
                               f::kOutdoorOffset,
                               f::kFrostStart,
                               f::kFrostStop,
                               f::kFrostReturn,
                               f::kSummerStopTemperature,
                               f::kPumpStopDelay,
                               f::kRoomSetPoint,
                               f::kBactericidalDeltaTemperature,
                               f::kBactericidalDeltaTime,
                               f::kBactericidalMinTemperature,
                               f::kBactericidalRaisingPeriod,
                               f::kBactericidalPumpStopDelay,
                               f::kPressureMin,
                               f::kPressureMax,
                               f::kPressureOffset,
                               f::kCurvePoints,
                               f::kNightOffset,
                               f::kHotWaterPumpMode,
                               f::kHeatingElementMode,
                               f::kHotWaterRunningTime,
                               f::kHotWaterPumpOutput,
                               f::kHeatingElementOutput}) {
        list.push_back({field, {}});
    }
    // The night lowering flag of each circuit, in two bytes of part 1.
    list.push_back({f::kNightLowering1, kCircuit[0]});
    list.push_back({f::kNightLowering2, kCircuit[1]});
    for (int k = 0; k < 5; ++k) {
        list.push_back({f::CurveOutdoor(k), kPoint[k]});
        list.push_back({f::CurveForward(k), kPoint[k]});
    }
    for (const auto* twin : {&f::kReturnTemperature,
                             &f::kForwardTemperature,
                             &f::kPresenceState,
                             &f::kPumpRunning,
                             &f::kPumpFault,
                             &f::kPressureFaultStop,
                             &f::kPressureFault,
                             &f::kLowForwardState,
                             &f::kMonitorPressure,
                             &f::kPressureStopsPump,
                             &f::kForwardOffset,
                             &f::kReturnOffset,
                             &f::kLowForwardOffset,
                             &f::kLowForwardDelay,
                             &f::kValveRunningTime,
                             &f::kValvePause,
                             &f::kPumpIdleTime,
                             &f::kValveIdleTime,
                             &f::kCalibrationHour,
                             &f::kCalibrationMinute,
                             &f::kPressureSetPoint,
                             &f::kPidP,
                             &f::kPidI,
                             &f::kPidD,
                             &f::kOverrideCode,
                             &f::kMaxReturn,
                             &f::kReturnDeadBand,
                             &f::kConstantDay,
                             &f::kConstantNight,
                             &f::kCascadeOn,
                             &f::kCascadeOutput,
                             &f::kPumpMode}) {
        AddAll(list, *twin);
    }
    for (const auto* valves : {&f::kValveMode, &f::kValveManualOutput, &f::kValveOutput,
                               &f::kValveTwoToTenVolt, &f::kValveInvert}) {
        AddAll(list, *valves);
    }
    return list;
}

}  // namespace

std::span<const CatalogueEntry> AllFields() {
    static const std::vector<CatalogueEntry> list = Build();
    return list;
}

std::vector<CatalogueEntry> FieldsAt(const Place& place) {
    std::vector<CatalogueEntry> found;
    for (const CatalogueEntry& entry : AllFields()) {
        if (entry.field.place == place) {
            found.push_back(entry);
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.field.offset < b.field.offset; });
    return found;
}

std::string Label(const CatalogueEntry& entry) {
    std::string label(entry.field.name);
    if (!entry.qualifier.empty()) {
        label += ", ";
        label += entry.qualifier;
    }
    return label;
}

std::string ValueText(const Field& field, const std::uint8_t* bytes) {
    if (field.codec == Codec::Flag) {
        return FlagSet(field, bytes) ? "on" : "off";
    }
    if (field.codec == Codec::Mode) {
        // Every word but 0 and 1 works as Automatic; an odd one is named with its number.
        const int word = static_cast<int>(Value(field, bytes));
        return word == nv::kModeOff         ? "Off"
               : word == nv::kModeManual    ? "Manual"
               : word == nv::kModeAutomatic ? "Automatic"
                                            : "Automatic (word " + std::to_string(word) + ")";
    }
    std::string text = Text(field, bytes);
    if (!field.unit.empty()) {
        text += ' ';
        text += field.unit;
    }
    return text;
}

}  // namespace node
