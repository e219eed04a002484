#pragma once

#include "pages/PumpPage.h"

namespace vireo {

// Pump Mp1.
class CPage13PropPage : public PumpPage {
public:
    CPage13PropPage();
};

}  // namespace vireo
