#pragma once

#include "calendar/HotWaterCalendarPage.h"

namespace vireo {

// The hot-water tank calendar page under the name that the sheet and the registry know.
class CPage32PropPage : public HotWaterCalendarPage {};

}  // namespace vireo
