#pragma once
// The hot-water tank calendar dialog (231): the week grid of the tank's calendar (the ids of
// res::week_grid) and the bactericidal heating settings, with the ids the dialog and its page
// share.

#include "platform/DialogTemplate.h"

namespace res::hot_water_calendar {

// Bactericidal heating; the first two inside "Temp Raise".
inline constexpr int kDeltaTemperature = 394;  // °C, "%.1f"
inline constexpr int kDeltaTime = 395;         // min
inline constexpr int kMinTemperature = 396;    // °C, "%.1f"
inline constexpr int kRaisingPeriod = 397;     // min
inline constexpr int kPumpStopDelay = 398;     // min

platform::DialogTemplate Dialog();

}  // namespace res::hot_water_calendar
