#pragma once
// The Night lowering / Summer stop dialogs: 221 for circuit 1, and 222 with the same controls
// for the page that is never added to the sheet. Control ids shared by the dialogs and pages.

#include "platform/DialogTemplate.h"

namespace res::night_lowering {

inline constexpr int kNightLowering = 268;          // check box "Night lowering"
inline constexpr int kRoomStartStop = 269;          // check box "Start/stop after room temp"
inline constexpr int kRoomSetPoint = 270;           // edit, °C
inline constexpr int kRoomTemperature = 271;        // live, °C
inline constexpr int kSummerStop = 272;             // check box "Summer stop"
inline constexpr int kSummerStopTemperature = 273;  // edit, °C
inline constexpr int kPumpStopDelay = 274;          // edit, seconds

platform::DialogTemplate Dialog(int dialogId);

}  // namespace res::night_lowering
