#pragma once

#include "pages/HeatingCurvePage.h"

namespace vireo {

// The Settings Temperatures page of circuit 1 under the name that the sheet and the registry know.
class CPage21PropPage : public HeatingCurvePage {};

}  // namespace vireo
