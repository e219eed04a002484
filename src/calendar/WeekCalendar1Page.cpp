#include "calendar/WeekCalendar1Page.h"

namespace vireo {

WeekCalendar1Page::WeekCalendar1Page() : WeekCalendarPage(204, 204, 0) {}

}  // namespace vireo
