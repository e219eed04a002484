#pragma once

#include "calendar/PresenceCalendarPage.h"

namespace vireo {

// Presence calendar of circuit 1: part 10, presence state NV 8.
class PresenceCalendar1Page : public PresenceCalendarPage {
public:
    PresenceCalendar1Page();
};

}  // namespace vireo
