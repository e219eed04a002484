#include "calendar/PresenceCalendar1Page.h"

namespace vireo {

PresenceCalendar1Page::PresenceCalendar1Page() : PresenceCalendarPage(206, 0) {}

}  // namespace vireo
