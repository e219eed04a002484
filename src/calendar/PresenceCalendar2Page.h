#pragma once

#include "calendar/PresenceCalendarPage.h"

namespace vireo {

// Presence calendar of circuit 2: part 12, shared with the hot-water tank calendar; presence
// state NV 9.
class PresenceCalendar2Page : public PresenceCalendarPage {
public:
    PresenceCalendar2Page();
};

}  // namespace vireo
