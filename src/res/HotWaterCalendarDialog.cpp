#include "res/HotWaterCalendarDialog.h"

#include "res/ControlIds.h"
#include "res/PresenceCalendarDialogs.h"

namespace res::hot_water_calendar {

using platform::ControlKind;

// The week grid, then the bactericidal heating settings, then Read, Write and Reset; the dialog
// has no Default button. Group boxes do not nest here, so "Temp Raise" heads its two settings
// inside the bactericidal box as a line of its own.
platform::DialogTemplate Dialog() {
    std::vector<platform::ControlTemplate> controls =
        week_grid::Controls("Calender hot-water tank");
    const char* bactericidal = "Bactericidal heating";
    const auto edit = [&controls, bactericidal](int id, const char* label, const char* unit) {
        controls.push_back({.id = id,
                            .kind = ControlKind::Edit,
                            .text = label,
                            .group = bactericidal,
                            .unit = unit});
    };
    controls.push_back({.kind = ControlKind::Static, .text = "Temp Raise", .group = bactericidal});
    edit(kDeltaTemperature, "Delta temperature", "°C");
    edit(kDeltaTime, "Delta time", "min");
    edit(kMinTemperature, "Min temperature", "°C");
    edit(kRaisingPeriod, "Temp raising period", "min");
    edit(kPumpStopDelay, "Delay stop pump", "min");
    controls.push_back({.id = common::kRead, .kind = ControlKind::PushButton, .text = "Read"});
    controls.push_back({.id = common::kWrite, .kind = ControlKind::PushButton, .text = "Write"});
    controls.push_back({.id = calendar::kReset, .kind = ControlKind::PushButton, .text = "Reset"});
    return {231, "Calender hot-water tank", std::move(controls)};
}

}  // namespace res::hot_water_calendar
