#pragma once
// Every value of the node that a page shows or edits, declared once: its name, where its bytes
// live, its codec and unit. Circuit twins are arrays: [0] circuit 1, [1] circuit 2. The bytes of
// a variable or part that no field names are carried through unchanged by every write.

#include <array>

#include "node/NodeField.h"

namespace node::fields {

using Twin = std::array<Field, 2>;

// ---- live values ----
inline constexpr Field kRoomTemperature{"actual room temperature", Variable(nv::kRoomTemperature),
                                        0, Codec::SignedHundredths, "°C"};
inline constexpr Twin kReturnTemperature{{
    {"actual return temperature", Variable(nv::kReturnTemperature1), 0, Codec::SignedHundredths,
     "°C"},
    {"actual return temperature", Variable(nv::kReturnTemperature2), 0, Codec::SignedHundredths,
     "°C"},
}};
inline constexpr Twin kForwardTemperature{{
    {"actual forward temperature", Variable(nv::kForwardTemperature1), 0, Codec::SignedHundredths,
     "°C"},
    {"actual forward temperature", Variable(nv::kForwardTemperature2), 0, Codec::SignedHundredths,
     "°C"},
}};
inline constexpr Field kOutdoorSensor{"measured outdoor temperature", Variable(nv::kOutdoorSensor),
                                      0, Codec::SignedHundredths, "°C"};
inline constexpr Field kOutdoorTemperature{"outdoor temperature in use",
                                           Variable(nv::kOutdoorTemperature), 0,
                                           Codec::SignedHundredths, "°C"};
inline constexpr Field kCalculatedSetPoint{"calculated forward set point",
                                           Variable(nv::kForwardSetPoint1), 0,
                                           Codec::SignedHundredths, "°C"};
// Presence detector of circuit 1 / circuit 2: 0 occupied, 1 unoccupied.
inline constexpr Twin kPresenceState{{
    {"presence state", Variable(nv::kPresence1), 0, Codec::SignedByte, ""},
    {"presence state", Variable(nv::kPresence2), 0, Codec::SignedByte, ""},
}};
inline constexpr Field kPressure{"actual pressure", Variable(nv::kPressure), 0, Codec::Word, "Pa"};
inline constexpr Field kFrostHeating =
    Flag("frost protection heating", Variable(nv::kStatusFlags), 0, 0x40);
// Pump outputs: byte 1 not 0 means running. Alarm bytes of NV 35: Mp1 byte 1, Mp2 byte 0.
inline constexpr Twin kPumpRunning{{
    Flag("pump Mp1 running", Variable(nv::kPumpOutput1), 1, 0xFF),
    Flag("pump Mp2 running", Variable(nv::kPumpOutput2), 1, 0xFF),
}};
inline constexpr Twin kPumpFault{{
    Flag("pump fault Mp1", Variable(nv::kStatusFlags), 1, 0x01),
    Flag("pump fault Mp2", Variable(nv::kStatusFlags), 0, 0x01),
}};
inline constexpr Twin kPressureFaultStop{{
    Flag("pressure fault with pump stop Mp1", Variable(nv::kStatusFlags), 1, 0x20),
    Flag("pressure fault with pump stop Mp2", Variable(nv::kStatusFlags), 0, 0x20),
}};
inline constexpr Twin kPressureFault{{
    Flag("pressure fault Mp1", Variable(nv::kStatusFlags), 1, 0x10),
    Flag("pressure fault Mp2", Variable(nv::kStatusFlags), 0, 0x10),
}};
inline constexpr Twin kLowForwardState{{
    Flag("low forward temperature", Variable(nv::kStatusFlags), 0, 0x08),
    Flag("low forward temperature", Variable(nv::kStatusFlags), 1, 0x08),
}};

// ---- part 1: flags ----
inline constexpr Field kNightLowering1 = Flag("night lowering", Part(1), 2, 0x01);
inline constexpr Field kRoomStartStop =
    Flag("night lowering after room temperature", Part(1), 2, 0x02);
inline constexpr Field kSummerStopOn = Flag("summer stop", Part(1), 2, 0x04);
inline constexpr Field kFrostProtection = Flag("frost protection", Part(1), 2, 0x08);
inline constexpr Field kCalculatedSetPointOn = Flag("calculated set point", Part(1), 2, 0x10);
inline constexpr Field kNightLowering2 = Flag("night lowering", Part(1), 8, 0x01);
inline constexpr Field kAnalogPressureSensor = Flag("analog pressure sensor", Part(1), 10, 0x02);
inline constexpr Twin kMonitorPressure{{
    Flag("monitor pressure VI1", Part(1), 10, 0x04),
    Flag("monitor pressure VI2", Part(1), 10, 0x08),
}};
inline constexpr Twin kPressureStopsPump{{
    Flag("pressure fault stops pump VI1", Part(1), 10, 0x10),
    Flag("pressure fault stops pump VI2", Part(1), 10, 0x20),
}};

// Part 1, bytes 29-30: the variant word; not 0 opens the sheet with page set 1.
inline constexpr Field kVariantWord{"variant word", Part(nv::kVariantPart), nv::kVariantHigh,
                                    Codec::Word, ""};

// ---- part 2: sensor offsets and frost protection ----
inline constexpr Field kOutdoorOffset{"outdoor sensor offset", Part(2), 1, Codec::SignedHundredths,
                                      "°C"};
inline constexpr Twin kForwardOffset{{
    {"forward sensor offset", Part(2), 3, Codec::SignedHundredths, "°C"},
    {"forward sensor offset", Part(2), 15, Codec::SignedHundredths, "°C"},
}};
inline constexpr Twin kReturnOffset{{
    {"return sensor offset", Part(2), 5, Codec::SignedHundredths, "°C"},
    {"return sensor offset", Part(2), 17, Codec::SignedHundredths, "°C"},
}};
inline constexpr Field kFrostStart{"frost protection outdoor start", Part(2), 19,
                                   Codec::SignedHundredths, "°C"};
inline constexpr Field kFrostStop{"frost protection outdoor stop", Part(2), 21,
                                  Codec::SignedHundredths, "°C"};
inline constexpr Field kFrostReturn{"frost protection return temperature", Part(2), 27,
                                    Codec::SignedHundredths, "°C"};

// ---- part 3: summer stop and low forward temperature ----
inline constexpr Field kSummerStopTemperature{"temperature before summer stop", Part(3), 1,
                                              Codec::SignedHundredths, "°C"};
inline constexpr Field kPumpStopDelay{"time before pump stop", Part(3), 3, Codec::Tenths, "s"};
inline constexpr Twin kLowForwardOffset{{
    {"low forward temperature offset", Part(3), 13, Codec::SignedHundredths, "°C"},
    {"low forward temperature offset", Part(3), 17, Codec::SignedHundredths, "°C"},
}};
inline constexpr Twin kLowForwardDelay{{
    {"low forward temperature delay", Part(3), 15, Codec::Word, "min"},
    {"low forward temperature delay", Part(3), 19, Codec::Word, "min"},
}};

// ---- part 4 ----
inline constexpr Field kRoomSetPoint{"room set point", Part(4), 1, Codec::SignedHundredths, "°C"};
// Bactericidal heating of the hot-water tank.
inline constexpr Field kBactericidalDeltaTemperature{"bactericidal delta temperature", Part(4), 7,
                                                     Codec::SignedHundredths, "°C"};
inline constexpr Field kBactericidalDeltaTime{"bactericidal delta time", Part(4), 9, Codec::Word,
                                              "min"};
inline constexpr Field kBactericidalMinTemperature{"bactericidal minimum temperature", Part(4), 11,
                                                   Codec::SignedHundredths, "°C"};
inline constexpr Field kBactericidalRaisingPeriod{"bactericidal temperature raising period",
                                                  Part(4), 13, Codec::Word, "min"};
inline constexpr Field kBactericidalPumpStopDelay{"bactericidal pump stop delay", Part(4), 15,
                                                  Codec::Word, "min"};

// ---- part 5 and 7: digital valve and exercise ----
inline constexpr Twin kValveRunningTime{{
    {"valve running time", Part(5), 1, Codec::Tenths, "s"},
    {"valve running time", Part(5), 13, Codec::Tenths, "s"},
}};
inline constexpr Twin kValvePause{{
    {"pause before next valve move", Part(5), 3, Codec::Tenths, "s"},
    {"pause before next valve move", Part(5), 15, Codec::Tenths, "s"},
}};
inline constexpr Twin kPumpIdleTime{{
    {"pump idle time before exercise", Part(7), 1, Codec::Word, "h"},
    {"pump idle time before exercise", Part(7), 13, Codec::Word, "h"},
}};
inline constexpr Twin kValveIdleTime{{
    {"valve idle time before exercise", Part(7), 3, Codec::Word, "h"},
    {"valve idle time before exercise", Part(7), 15, Codec::Word, "h"},
}};
// The calibration time of day: hour and minute, one signed byte each.
inline constexpr Twin kCalibrationHour{{
    {"valve calibration hour", Variable(nv::kCalcValve1), 0, Codec::SignedByte, "h"},
    {"valve calibration hour", Variable(nv::kCalcValve2), 0, Codec::SignedByte, "h"},
}};
inline constexpr Twin kCalibrationMinute{{
    {"valve calibration minute", Variable(nv::kCalcValve1), 1, Codec::SignedByte, "min"},
    {"valve calibration minute", Variable(nv::kCalcValve2), 1, Codec::SignedByte, "min"},
}};

// ---- part 6: pressure ----
inline constexpr Field kPressureMin{"pressure sensor minimum", Part(6), 1, Codec::Word, "Pa"};
inline constexpr Field kPressureMax{"pressure sensor maximum", Part(6), 3, Codec::Word, "Pa"};
inline constexpr Field kPressureOffset{"pressure sensor offset", Part(6), 5, Codec::Word, "Pa"};
inline constexpr Twin kPressureSetPoint{{
    {"pressure set point VI1", Part(6), 7, Codec::Word, "Pa"},
    {"pressure set point VI2", Part(6), 9, Codec::Word, "Pa"},
}};

// ---- part 8: PID of valves Mv1 and Mv2 ----
inline constexpr Twin kPidP{{
    {"PID P", Part(8), 1, Codec::DecimalTenths, ""},
    {"PID P", Part(8), 19, Codec::DecimalTenths, ""},
}};
inline constexpr Twin kPidI{{
    {"PID I", Part(8), 3, Codec::Word, ""},
    {"PID I", Part(8), 21, Codec::Word, ""},
}};
inline constexpr Twin kPidD{{
    {"PID D", Part(8), 5, Codec::Word, ""},
    {"PID D", Part(8), 23, Codec::Word, ""},
}};

// ---- override codes NV 39 / NV 40 (Boost 1, Night 2, Day 3, Off 4, Auto 5, Occupied 6,
// 255 the rotary switch) ----
inline constexpr Twin kOverrideCode{{
    {"override code", Variable(nv::kSwitchExt1), 0, Codec::Word, ""},
    {"override code", Variable(nv::kSwitchExt2), 0, Codec::Word, ""},
}};

// ---- temperature settings records NV 37 / NV 38 ----
inline constexpr Place kTempRecord[2] = {Variable(nv::kTemp1PlugIn), Variable(nv::kTemp2PlugIn)};
inline constexpr Field kCurvePoints{"number of curve points", Variable(nv::kTemp1PlugIn), 0,
                                    Codec::SignedByte, ""};
// Curve point k (0 to 4): outdoor temperature at bytes 1 + 2k, forward temperature at 11 + 2k.
constexpr Field CurveOutdoor(int k) {
    return {"curve point outdoor temperature", Variable(nv::kTemp1PlugIn), 1 + 2 * k,
            Codec::SignedHundredths, "°C"};
}
constexpr Field CurveForward(int k) {
    return {"curve point forward temperature", Variable(nv::kTemp1PlugIn), 11 + 2 * k,
            Codec::SignedHundredths, "°C"};
}
inline constexpr Field kNightOffset{"night offset", Variable(nv::kTemp1PlugIn), 21,
                                    Codec::SignedHundredths, "°C"};
inline constexpr Twin kMaxReturn{{
    {"maximum return temperature", Variable(nv::kTemp1PlugIn), 23, Codec::SignedHundredths, "°C"},
    {"maximum return temperature", Variable(nv::kTemp2PlugIn), 23, Codec::SignedHundredths, "°C"},
}};
inline constexpr Twin kReturnDeadBand{{
    {"return temperature dead band", Variable(nv::kTemp1PlugIn), 25, Codec::SignedHundredths, "°C"},
    {"return temperature dead band", Variable(nv::kTemp2PlugIn), 25, Codec::SignedHundredths, "°C"},
}};
inline constexpr Twin kConstantDay{{
    {"constant day temperature", Variable(nv::kTemp1PlugIn), 27, Codec::SignedHundredths, "°C"},
    {"constant day temperature", Variable(nv::kTemp2PlugIn), 27, Codec::SignedHundredths, "°C"},
}};
inline constexpr Twin kConstantNight{{
    {"constant night temperature", Variable(nv::kTemp1PlugIn), 29, Codec::SignedHundredths, "°C"},
    {"constant night temperature", Variable(nv::kTemp2PlugIn), 29, Codec::SignedHundredths, "°C"},
}};

// ---- pumps, valves and the hot-water tank ----
constexpr Field ModeWord(std::string_view name, int offset) {
    return {name, Variable(nv::kModeWords), offset, Codec::Mode, ""};
}

// The analog valves, by number: [0] Mv1, [1] Mv2, [2] Mv3, [3] Mv4.
using Valves = std::array<Field, 4>;
inline constexpr Valves kValveMode{{
    ModeWord("mode of valve Mv1", nv::kModeValveMv1),
    ModeWord("mode of valve Mv2", nv::kModeValveMv2),
    ModeWord("mode of valve Mv3", nv::kModeValveMv3),
    ModeWord("mode of valve Mv4", nv::kModeValveMv4),
}};
inline constexpr Valves kValveManualOutput{{
    {"manual output of valve Mv1", Variable(nv::kManualOutputs), nv::kManualOutputMv1,
     Codec::HalfSteps, "%"},
    {"manual output of valve Mv2", Variable(nv::kManualOutputs), nv::kManualOutputMv2,
     Codec::HalfSteps, "%"},
    {"manual output of valve Mv3", Variable(nv::kManualOutputs), nv::kManualOutputMv3,
     Codec::HalfSteps, "%"},
    {"manual output of valve Mv4", Variable(nv::kManualOutputs), nv::kManualOutputMv4,
     Codec::HalfSteps, "%"},
}};
inline constexpr Valves kValveOutput{{
    {"output of valve Mv1", Variable(nv::kValveOutputMv1), 0, Codec::HalfHundredths, "%"},
    {"output of valve Mv2", Variable(nv::kValveOutputMv2), 0, Codec::HalfHundredths, "%"},
    {"output of valve Mv3", Variable(nv::kValveOutputMv3), 0, Codec::HalfHundredths, "%"},
    {"output of valve Mv4", Variable(nv::kValveOutputMv4), 0, Codec::HalfHundredths, "%"},
}};
inline constexpr Valves kValveTwoToTenVolt{{
    Flag("valve Mv1 2-10 volt", Part(1), nv::kVoltageFlagsByte, 0x01),
    Flag("valve Mv2 2-10 volt", Part(1), nv::kVoltageFlagsByte, 0x40),
    Flag("valve Mv3 2-10 volt", Part(1), nv::kVoltageFlagsByte, 0x02),
    Flag("valve Mv4 2-10 volt", Part(1), nv::kVoltageFlagsByte, 0x80),
}};
inline constexpr Valves kValveInvert{{
    Flag("valve Mv1 inverted", Part(1), nv::kInvertFlagsByte, 0x01),
    Flag("valve Mv2 inverted", Part(1), nv::kInvertFlagsByte, 0x40),
    Flag("valve Mv3 inverted", Part(1), nv::kInvertFlagsByte, 0x02),
    Flag("valve Mv4 inverted", Part(1), nv::kInvertFlagsByte, 0x80),
}};
inline constexpr Twin kCascadeOn{{
    Flag("cascade", Part(1), nv::kCascadeFlagsByte, 0x01),
    Flag("cascade", Part(1), nv::kCascadeFlagsByte, 0x08),
}};
inline constexpr Twin kCascadeOutput{{
    {"cascade changeover output", Part(nv::kCascadeOutputPart), nv::kCascadeOutputCircuit1,
     Codec::HalfSteps, "%"},
    {"cascade changeover output", Part(nv::kCascadeOutputPart), nv::kCascadeOutputCircuit2,
     Codec::HalfSteps, "%"},
}};
inline constexpr Twin kPumpMode{{ModeWord("mode of pump Mp1", nv::kModePumpMp1),
                                 ModeWord("mode of pump Mp2", nv::kModePumpMp2)}};
inline constexpr Field kHotWaterPumpMode = ModeWord("mode of pump Mp3", nv::kModeHotWaterPump);
inline constexpr Field kHeatingElementMode =
    ModeWord("mode of the heating element", nv::kModeHeatingElement);
inline constexpr Field kHotWaterRunningTime{"running time of pump Mp3", Variable(nv::kTimePump3), 0,
                                            Codec::Tenths, "s"};
inline constexpr Field kHotWaterPumpOutput{"output of pump Mp3", Variable(nv::kHotWaterPumpOutput),
                                           0, Codec::HalfSteps, "%"};
inline constexpr Field kHeatingElementOutput{
    "output of the heating element", Variable(nv::kHeatingElementOutput), 0, Codec::HalfSteps, "%"};

}  // namespace node::fields
