#include "res/PresenceCalendarDialogs.h"

#include "res/ControlIds.h"

namespace res::week_grid {

using platform::ControlKind;

// Column heads in row 0, then one row per day: its name, the start edit and the stop edit.
std::vector<platform::ControlTemplate> Controls(const std::string& group) {
    std::vector<platform::ControlTemplate> controls = {
        {.kind = ControlKind::Static, .text = "Start ", .group = group, .row = 0, .column = 1},
        {.kind = ControlKind::Static, .text = "Stop ", .group = group, .row = 0, .column = 2},
    };
    int row = 1;
    for (const Day& day : kDays) {
        controls.push_back({.kind = ControlKind::Static,
                            .text = day.name,
                            .group = group,
                            .row = row,
                            .column = 0});
        controls.push_back(
            {.id = day.start, .kind = ControlKind::Edit, .group = group, .row = row, .column = 1});
        controls.push_back(
            {.id = day.stop, .kind = ControlKind::Edit, .group = group, .row = row, .column = 2});
        ++row;
    }
    return controls;
}

}  // namespace res::week_grid

namespace res::presence_calendar {

using platform::ControlKind;

// The week grid of the presence calendar, the live presence state below it, then Read, Write
// and Reset; the dialog has no Default button.
platform::DialogTemplate Dialog(int dialogId) {
    std::vector<platform::ControlTemplate> controls = week_grid::Controls("Calender pir");
    controls.push_back({.id = kStatus, .kind = ControlKind::ReadOnlyEdit, .group = "Pir status"});
    controls.push_back({.id = common::kRead, .kind = ControlKind::PushButton, .text = "Read"});
    controls.push_back({.id = common::kWrite, .kind = ControlKind::PushButton, .text = "Write"});
    controls.push_back({.id = calendar::kReset, .kind = ControlKind::PushButton, .text = "Reset"});
    return {dialogId, "Calender Pir", std::move(controls)};
}

}  // namespace res::presence_calendar
