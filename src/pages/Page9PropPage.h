#pragma once

#include "pages/StatusSwitchPage.h"

namespace vireo {

// Status Switch of rotary switch Sw1.
class CPage9PropPage : public StatusSwitchPage {
public:
    CPage9PropPage();
};

}  // namespace vireo
