#pragma once

#include "pages/PumpPage.h"

// Pump Mp2.
class CPage14PropPage : public PumpPage {
public:
    CPage14PropPage();
};
