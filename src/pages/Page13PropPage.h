#pragma once

#include "pages/PumpPage.h"

// Pump Mp1.
class CPage13PropPage : public PumpPage {
public:
    CPage13PropPage();
};
