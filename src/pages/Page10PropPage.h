#pragma once

#include "pages/StatusSwitchPage.h"

namespace vireo {

// Status Switch of rotary switch Sw2.
class CPage10PropPage : public StatusSwitchPage {
public:
    CPage10PropPage();
};

}  // namespace vireo
