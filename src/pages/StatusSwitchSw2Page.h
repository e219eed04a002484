#pragma once

#include "pages/StatusSwitchPage.h"

namespace vireo {

// Status Switch of rotary switch Sw2.
class StatusSwitchSw2Page : public StatusSwitchPage {
public:
    StatusSwitchSw2Page();
};

}  // namespace vireo
