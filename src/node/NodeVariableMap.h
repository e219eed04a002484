#pragma once
// The one table of every network variable the plug-in reads or writes, by host index, and of
// the twelve parts of nviPluginCnf that the part window shows through NV 45. Pages, the
// simulated node (its sizes) and the settings file all take their indexes and sizes from here.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace nv {

// Host indexes.
inline constexpr int kClockWrite = 0;
inline constexpr int kClockRead = 3;
inline constexpr int kCalendarState1 = 4;
inline constexpr int kCalendarState2 = 5;
inline constexpr int kRoomTemperature = 6;
inline constexpr int kPresence1 = 8;
inline constexpr int kPresence2 = 9;
inline constexpr int kReturnTemperature1 = 10;
inline constexpr int kForwardTemperature1 = 11;
inline constexpr int kOutdoorSensor = 12;
inline constexpr int kOutdoorTemperature = 13;
inline constexpr int kReturnTemperature2 = 14;
inline constexpr int kForwardTemperature2 = 15;
inline constexpr int kRotarySwitch1 = 16;
inline constexpr int kRotarySwitch2 = 17;
inline constexpr int kForwardSetPoint1 = 20;
inline constexpr int kUnitMode1 = 22;
inline constexpr int kUnitMode2 = 23;
inline constexpr int kPressure = 24;
inline constexpr int kModeWords = 25;
inline constexpr int kManualOutputs = 26;
inline constexpr int kPumpOutput1 = 27;  // Mp1
inline constexpr int kValveOutputMv1 = 28;
inline constexpr int kValveOutputMv3 = 29;
inline constexpr int kHeatingElementOutput = 30;
inline constexpr int kHotWaterPumpOutput = 31;
inline constexpr int kPumpOutput2 = 32;  // Mp2
inline constexpr int kValveOutputMv2 = 33;
inline constexpr int kValveOutputMv4 = 34;
inline constexpr int kStatusFlags = 35;
inline constexpr int kExtendedDelays = 36;
inline constexpr int kTemp1PlugIn = 37;  // nciTemp1PlugIn
inline constexpr int kTemp2PlugIn = 38;  // nciTemp2PlugIn
inline constexpr int kSwitchExt1 = 39;   // nciSwitchExt1
inline constexpr int kSwitchExt2 = 40;   // nciSwitchExt2
inline constexpr int kTimePump3 = 41;    // nciTimePump3
inline constexpr int kCalcValve1 = 42;   // nciCalcValve1
inline constexpr int kCalcValve2 = 43;   // nciCalcValve2
inline constexpr int kPartSelector = 44;
inline constexpr int kPluginCnf = 45;  // nviPluginCnf, the selected part

// nviPluginCnf parts.
inline constexpr int kFirstPart = 1;
inline constexpr int kPartCount = 12;
inline constexpr int kPartSize = 31;

// The node's name: at most kNodeNameSize bytes, cut at the first zero byte when shorter; the
// settings file and the import/export page keep its first kNodeNameKept bytes.
inline constexpr int kNodeNameSize = 32;
inline constexpr int kNodeNameKept = 20;
// The output NV a network tool fetches the node's name by (kNodeNameSize bytes); the plug-in
// reads the name through the host instead, so it is not among the variables below.
inline constexpr int kNodeName = 46;

// Buffers handed to the host: at least 32 bytes, zero-initialised.
inline constexpr int kBufferSize = 32;

// How the settings file writes a variable's value line.
enum class FileKind { None, StrInt, Count, TimeSec, TimePassed };

struct Variable {
    int index;                  // host index
    int size;                   // bytes that carry meaning
    std::string_view content;   // what the bytes hold
    std::string_view fileName;  // name in the settings file, empty when not exported
    FileKind fileKind;
};

// Every variable of the node, in host-index order.
std::span<const Variable> Variables();
// The entry of one host index, or nothing for an index the plug-in does not use.
const Variable* Find(int index);
// How many bytes the node's NV of this index holds (its name NV too), or 0 for one the plug-in
// does not use: what a node's fetch answer carries.
int SizeOf(int index);

// The seven single configuration variables of the settings file, in block order (37 to 43).
std::span<const Variable> FileVariables();

// Which bytes of the parts the pages own: node/NodeFields.h declares every field.

// Mode word: 0 Off, 1 Manual, 255 Automatic; on reading every other value is Automatic.
inline constexpr int kModeOff = 0;
inline constexpr int kModeManual = 1;
inline constexpr int kModeAutomatic = 255;

// Byte offsets of the mode words in NV 25 (high byte; the low byte follows).
inline constexpr int kModePumpMp1 = 1;
inline constexpr int kModeValveMv1 = 3;
inline constexpr int kModeValveMv3 = 5;
inline constexpr int kModePumpMp2 = 7;
inline constexpr int kModeValveMv2 = 9;
inline constexpr int kModeValveMv4 = 11;
inline constexpr int kModeHotWaterPump = 13;
inline constexpr int kModeHeatingElement = 15;

// NV 26: the manual output byte of each analog valve, in 0.5 % steps (the low byte of its word).
inline constexpr int kManualOutputMv1 = 4;
inline constexpr int kManualOutputMv3 = 6;
inline constexpr int kManualOutputMv2 = 10;
inline constexpr int kManualOutputMv4 = 12;

// Part 1: the analog valve flag bytes (cascade on; 2-10 volt; invert).
inline constexpr int kValveFlagsPart = 1;
inline constexpr int kCascadeFlagsByte = 12;
inline constexpr int kVoltageFlagsByte = 14;
inline constexpr int kInvertFlagsByte = 16;

// Part 6: the cascade changeover output of circuit 1 / circuit 2, in 0.5 % steps.
inline constexpr int kCascadeOutputPart = 6;
inline constexpr int kCascadeOutputCircuit1 = 12;
inline constexpr int kCascadeOutputCircuit2 = 18;

// NV 36: the first byte of each circuit's delays (boost, day, night; an hours word and a
// minutes word each).
inline constexpr int kDelaysCircuit1 = 1;
inline constexpr int kDelaysCircuit2 = 13;

// Part 1, bytes 29-30: the variant word; not 0 opens the sheet with page set 1.
inline constexpr int kVariantPart = 1;
inline constexpr int kVariantHigh = 29;

}  // namespace nv
