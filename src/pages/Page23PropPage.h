#pragma once

#include "pages/NightLoweringPage.h"

namespace vireo {

// The Night lowering / Summer stop page of circuit 1 under the name that the sheet and the registry
// know.
class CPage23PropPage : public NightLoweringPage {};

}  // namespace vireo
