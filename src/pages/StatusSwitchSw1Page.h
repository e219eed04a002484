#pragma once

#include "pages/StatusSwitchPage.h"

namespace vireo {

// Status Switch of rotary switch Sw1.
class StatusSwitchSw1Page : public StatusSwitchPage {
public:
    StatusSwitchSw1Page();
};

}  // namespace vireo
