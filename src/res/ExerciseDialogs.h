#pragma once
// The dialogs of the two Exercise / Digital Valve pages (223: circuit 1, 224: circuit 2) and
// their control ids, the same on both.

#include "platform/DialogTemplate.h"

namespace res::exercise {

// Group "Exercise pump/valve": idle times before exercise, hours.
inline constexpr int kPumpIdleTime = 224;
inline constexpr int kValveIdleTime = 225;
// Group "Digital valve": running time and pause in seconds, calibration time of day "H:MM".
inline constexpr int kValveRunningTime = 226;
inline constexpr int kValvePause = 227;
inline constexpr int kCalibrationTime = 228;

platform::DialogTemplate Dialog(int dialogId);

}  // namespace res::exercise
