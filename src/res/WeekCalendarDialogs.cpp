#include "res/WeekCalendarDialogs.h"

#include <cstddef>
#include <string>
#include <vector>

#include "res/ControlIds.h"

namespace res::week_calendar {

using platform::ControlKind;
using platform::ControlTemplate;

namespace {

constexpr const char* kDays[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                 "Friday", "Saturday", "Sunday"};

ControlTemplate Label(const char* text, const char* group, int row, int column) {
    return {
        .kind = ControlKind::Static, .text = text, .group = group, .row = row, .column = column};
}

ControlTemplate TimeEdit(int id, const char* group, int row, int column) {
    return {.id = id, .kind = ControlKind::Edit, .group = group, .row = row, .column = column};
}

// One calendar's box: the column heads, then a row per weekday (and the holiday row in
// calendar 1) with its start and stop edits.
void AddCalendar(std::vector<ControlTemplate>& controls, const char* group,
                 const std::array<int, 7>& starts, const std::array<int, 7>& stops, bool holiday) {
    controls.push_back(Label("Start ", group, 0, 1));
    controls.push_back(Label("Stop ", group, 0, 2));
    for (std::size_t day = 0; day < starts.size(); ++day) {
        const int row = static_cast<int>(day) + 1;
        controls.push_back(Label(kDays[day], group, row, 0));
        controls.push_back(TimeEdit(starts[day], group, row, 1));
        controls.push_back(TimeEdit(stops[day], group, row, 2));
    }
    if (holiday) {
        const int row = static_cast<int>(starts.size()) + 1;
        controls.push_back(Label("Holiday", group, row, 0));
        controls.push_back(TimeEdit(kHolidayStart, group, row, 1));
        controls.push_back(TimeEdit(kHolidayStop, group, row, 2));
    }
}

}  // namespace

// Calendar 1 with the holiday row and the week drawn beside it, calendar 2 with the copy
// buttons, then the node's clock and the calendar state on one line, and the buttons.
platform::DialogTemplate Dialog(int dialogId) {
    std::vector<ControlTemplate> controls;
    AddCalendar(controls, "Calender 1", kCalendar1Start, kCalendar1Stop, true);
    AddCalendar(controls, "Calender 2", kCalendar2Start, kCalendar2Stop, false);
    const auto live = [&controls](int id, const char* label, int column) {
        if (label != nullptr) {
            controls.push_back(Label(label, "", 0, column));
        }
        controls.push_back({.id = id,
                            .kind = ControlKind::ReadOnlyEdit,
                            .row = 0,
                            .column = column + 1,
                            .nodeValue = id != kNodeWeekday});
    };
    live(kNodeDate, "Date", 0);
    live(kNodeWeekday, nullptr, 1);
    live(kNodeTime, "Time", 3);
    live(kCalendarState, "Calender is", 5);
    // The week beside calendar 1's edits, the copy buttons beside calendar 2's Monday.
    controls.push_back({.id = kWeekPicture,
                        .kind = ControlKind::WeekPicture,
                        .group = "Calender 1",
                        .row = 0,
                        .column = 3,
                        .rowSpan = 9});
    const auto copy = [&controls](int id, const char* text, int row) {
        controls.push_back({.id = id,
                            .kind = ControlKind::PushButton,
                            .text = text,
                            .group = "Calender 2",
                            .row = row,
                            .column = 3,
                            .nodeValue = false});
    };
    copy(kCopyMondayToWorkdays, "Copy Monday to Tuesday-Friday", 1);
    copy(kCopyToWeekend, "Copy to weekend", 2);
    controls.push_back({.id = common::kRead, .kind = ControlKind::PushButton, .text = "Read"});
    controls.push_back({.id = common::kWrite, .kind = ControlKind::PushButton, .text = "Write"});
    controls.push_back(
        {.id = calendar::kDefault, .kind = ControlKind::PushButton, .text = "Default"});
    controls.push_back({.id = calendar::kReset, .kind = ControlKind::PushButton, .text = "Reset"});
    return {dialogId, "Calender Start / Stop", std::move(controls)};
}

}  // namespace res::week_calendar
