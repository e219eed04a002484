#pragma once

#include "pages/ConstantTemperaturesPage.h"

namespace vireo {

// The Settings Temperatures page of circuit 2 under the name that the sheet and the registry know.
class CPage22PropPage22 : public ConstantTemperaturesPage {};

}  // namespace vireo
