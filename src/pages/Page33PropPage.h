#pragma once

#include "pages/HotWaterTankPage.h"

namespace vireo {

// The Hot-water tank page under the name that the sheet and the registry know.
class CPage33PropPage : public HotWaterTankPage {};

}  // namespace vireo
