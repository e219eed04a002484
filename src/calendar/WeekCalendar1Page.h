#pragma once

#include "calendar/WeekCalendarPage.h"

namespace vireo {

// Week calendars of page set 1: part 9, calendar state in NV 4.
class WeekCalendar1Page : public WeekCalendarPage {
public:
    WeekCalendar1Page();
};

}  // namespace vireo
