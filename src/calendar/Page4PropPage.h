#pragma once

#include "calendar/SetTimePage.h"

namespace vireo {

// The Set Time page under the name that the sheet and the registry know.
class CPage4PropPage : public SetTimePage {};

}  // namespace vireo
