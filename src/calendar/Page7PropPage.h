#pragma once

#include "calendar/PresenceCalendarPage.h"

namespace vireo {

// Presence calendar of circuit 1: part 10, presence state NV 8.
class CPage7PropPage : public PresenceCalendarPage {
public:
    CPage7PropPage();
};

}  // namespace vireo
