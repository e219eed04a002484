#pragma once

#include "calendar/WeekCalendarPage.h"

namespace vireo {

// Week calendars of page set 2: part 11, calendar state in NV 5.
class WeekCalendar2Page : public WeekCalendarPage {
public:
    WeekCalendar2Page();
};

}  // namespace vireo
