#include "calendar/HotWaterCalendarPage.h"

#include "node/NodeFields.h"
#include "res/HotWaterCalendarDialog.h"

namespace vireo {

namespace {

namespace fields = node::fields;
using namespace res::hot_water_calendar;

constexpr int kCalendarPart = fields::kHotWaterPart;
constexpr node::Place kBactericidalPlace = fields::kBactericidalDeltaTemperature.place;

constexpr Bound kBactericidal[] = {
    Edit(fields::kBactericidalDeltaTemperature, kDeltaTemperature),
    Edit(fields::kBactericidalDeltaTime, kDeltaTime),
    Edit(fields::kBactericidalMinTemperature, kMinTemperature),
    Edit(fields::kBactericidalRaisingPeriod, kRaisingPeriod),
    Edit(fields::kBactericidalPumpStopDelay, kPumpStopDelay),
};

const CalendarCheck& TankCheck() {
    static const CalendarCheck check =
        DaysCheck(fields::HotWaterTime, "Error in Watertank calender, unequal start and stoptimes");
    return check;
}

// Read on show, and a timer whose ticks do nothing.
PageBehaviour TankBehaviour() {
    PageBehaviour b = behaviour::ReadOnly();
    b.timer = true;
    return b;
}

}  // namespace

HotWaterCalendarPage::HotWaterCalendarPage()
    : CalendarPage(231, 266, TankBehaviour(), kCalendarPart, GridSlots(fields::HotWaterTime)) {
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
        WriteCalendar(image, {&TankCheck(), 1});
    }
    RunRead();
}

}  // namespace vireo
