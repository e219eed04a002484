#pragma once

#include "pages/PressurePage.h"

namespace vireo {

// The Pressure page under the name that the sheet and the registry know.
class CPage30PropPage : public PressurePage {};

}  // namespace vireo
