#pragma once

#include "pages/AntifrostPage.h"

namespace vireo {

// The Antifrost page of circuit 1 under the name that the sheet and the registry know.
class CPage17PropPage : public AntifrostPage {};

}  // namespace vireo
