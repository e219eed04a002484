#include "calendar/WeekCalendar2Page.h"

namespace vireo {

WeekCalendar2Page::WeekCalendar2Page() : WeekCalendarPage(205, 205, 1) {}

}  // namespace vireo
