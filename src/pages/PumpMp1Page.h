#pragma once

#include "pages/PumpPage.h"

namespace vireo {

// Pump Mp1.
class PumpMp1Page : public PumpPage {
public:
    PumpMp1Page();
};

}  // namespace vireo
