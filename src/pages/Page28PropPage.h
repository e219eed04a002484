#pragma once

#include "pages/PidPage.h"

namespace vireo {

// PID of valve Mv2.
class CPage28PropPage : public PidPage {
public:
    CPage28PropPage();
};

}  // namespace vireo
