#include "calendar/PresenceCalendar2Page.h"

namespace vireo {

PresenceCalendar2Page::PresenceCalendar2Page() : PresenceCalendarPage(207, 1) {}

}  // namespace vireo
