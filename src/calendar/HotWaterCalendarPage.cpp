#include "calendar/HotWaterCalendarPage.h"

#include "node/NodeFields.h"
#include "res/HotWaterCalendarDialog.h"
#include "res/PresenceCalendarDialogs.h"

namespace vireo {

namespace {

namespace fields = node::fields;
using namespace res::hot_water_calendar;

constexpr int kCalendarPart = 12;
constexpr node::Place kBactericidalPlace = node::Part(4);

constexpr Bound kBactericidal[] = {
    Edit(fields::kBactericidalDeltaTemperature, kDeltaTemperature),
    Edit(fields::kBactericidalDeltaTime, kDeltaTime),
    Edit(fields::kBactericidalMinTemperature, kMinTemperature),
    Edit(fields::kBactericidalRaisingPeriod, kRaisingPeriod),
    Edit(fields::kBactericidalPumpStopDelay, kPumpStopDelay),
};

// Per day, from Sunday: calendar 1 stop, calendar 1 start, calendar 2 stop, calendar 2 start.
// The tank's calendar takes the calendar 2 bytes; the calendar 1 bytes are the presence
// calendar's.
std::vector<TimeSlot> TankSlots() {
    std::vector<TimeSlot> slots;
    for (int day = 0; day < 7; ++day) {  // Sunday first, as in the part
        // The grid's rows start on Monday; Sunday is its last row.
        const res::week_grid::Day& row = res::week_grid::kDays[(day + 6) % 7];
        slots.push_back({row.stop, 3 + 4 * day});
        slots.push_back({row.start, 4 + 4 * day});
    }
    return slots;
}

const CalendarCheck kTankCheck = {
    {4, 8, 12, 16, 20, 24, 28},
    {3, 7, 11, 15, 19, 23, 27},
    "Error in Watertank calender, unequal start and stoptimes",
};

// Read on show, and a timer whose ticks do nothing.
PageBehaviour TankBehaviour() {
    PageBehaviour b = behaviour::ReadOnly();
    b.timer = true;
    return b;
}

}  // namespace

HotWaterCalendarPage::HotWaterCalendarPage()
    : CalendarPage(231, 266, TankBehaviour(), TankSlots()) {
    DeclareFields(kBactericidal);
}

// Both parts are selected only when NV 44 does not hold them already.
void HotWaterCalendarPage::ReadConfig() {
    NvBuffer image{};
    if (ReadFirstPart(kCalendarPart, image, nv::kBufferSize)) {
        ShowTimes(image);
    }
    NvBuffer settings{};
    if (ReadFirstPart(kBactericidalPlace.part, settings, nv::kBufferSize)) {
        ShowFields(kBactericidalPlace, settings);
    }
}

// The bactericidal settings, unchecked; then the calendar with its checks, the presence
// calendar's bytes of part 12 written back as read; then the page reads both parts again, also
// after a calendar write that has read them already.
void HotWaterCalendarPage::WriteConfig() {
    NvBuffer settings{};
    if (ReadFirstPart(kBactericidalPlace.part, settings, nv::kBufferSize)) {
        StoreFields(kBactericidalPlace, settings);
        WritePart(settings);
    }
    NvBuffer image{};
    if (ReadFirstPart(kCalendarPart, image, nv::kBufferSize)) {
        WriteCalendar(image, {&kTankCheck, 1});
    }
    RunRead();
}

}  // namespace vireo
