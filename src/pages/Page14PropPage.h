#pragma once

#include "pages/PumpPage.h"

namespace vireo {

// Pump Mp2.
class CPage14PropPage : public PumpPage {
public:
    CPage14PropPage();
};

}  // namespace vireo
