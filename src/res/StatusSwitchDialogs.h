#pragma once
// The status switch dialogs (208 for rotary switch Sw1, 209 for Sw2): one builder, and the
// control ids that the dialogs and their pages share.

#include <string>

#include "platform/DialogTemplate.h"

namespace res::status_switch {

inline constexpr int kSwitchPosition = 301;  // live rotary switch position
inline constexpr int kUnitMode = 202;        // live unit operating mode
// The override radios, in the order Write asks them.
inline constexpr int kBoost = 328;
inline constexpr int kNight = 335;
inline constexpr int kDay = 336;
inline constexpr int kOff = 337;
inline constexpr int kAuto = 338;
inline constexpr int kOccupied = 339;
inline constexpr int kManualSwitch = 340;  // "Use manual rotary switch"

// switchName is "Sw1" or "Sw2".
platform::DialogTemplate Dialog(int dialogId, const std::string& switchName);

}  // namespace res::status_switch
