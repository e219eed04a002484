#pragma once
// The pump dialogs (212 for pump Mp1, 213 for Mp2): one builder, and the control ids that the
// dialogs and their pages share.

#include <string>

#include "platform/DialogTemplate.h"

namespace res::pump {

// Operating mode radios: Off, Manual, Automatic.
inline constexpr int kOff = 339;
inline constexpr int kManual = 340;
inline constexpr int kAutomatic = 341;
inline constexpr int kOutput = 212;  // live output state, "ON" / "OFF"
// Alarm flags, "Alarm" / "OK".
inline constexpr int kPumpFault = 201;
inline constexpr int kPressFaultStop = 202;
inline constexpr int kPressFault = 203;

// pumpName is "Mp1" or "Mp2".
platform::DialogTemplate Dialog(int dialogId, const std::string& pumpName);

}  // namespace res::pump
