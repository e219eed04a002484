#pragma once
// The dialogs of the two Antifrost pages (216 for circuit 1, 217 for circuit 2) and their control
// ids. Both dialogs have the same controls; only the return sensor in one label differs.

#include "platform/DialogTemplate.h"

namespace res::antifrost {

inline constexpr int kAntifrost = 209;          // check box: frost protection on
inline constexpr int kOutdoorStart = 424;       // outdoor temperature at which it starts
inline constexpr int kOutdoorStop = 422;        // outdoor temperature at which it stops
inline constexpr int kReturnTemperature = 426;  // return temperature of the heating surface
inline constexpr int kActualOutdoor = 213;      // live outdoor temperature
inline constexpr int kStatus = 212;             // live state, "Heat" or "Off"

// returnSensor is "Bw2" or "Bw4".
platform::DialogTemplate Dialog(int dialogId, const char* returnSensor);

}  // namespace res::antifrost
