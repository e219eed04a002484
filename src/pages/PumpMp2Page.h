#pragma once

#include "pages/PumpPage.h"

namespace vireo {

// Pump Mp2.
class PumpMp2Page : public PumpPage {
public:
    PumpMp2Page();
};

}  // namespace vireo
