#pragma once

#include "calendar/WeekCalendarPage.h"

namespace vireo {

// Week calendars of page set 1: part 9, calendar state in NV 4.
class CPage5PropPage : public WeekCalendarPage {
public:
    CPage5PropPage();
};

}  // namespace vireo
