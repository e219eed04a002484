#pragma once

#include "pages/StatusSwitchPage.h"

// Status Switch of rotary switch Sw1.
class CPage9PropPage : public StatusSwitchPage {
public:
    CPage9PropPage();
};
