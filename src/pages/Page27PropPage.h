#pragma once

#include "pages/PidPage.h"

namespace vireo {

// PID of valve Mv1.
class CPage27PropPage : public PidPage {
public:
    CPage27PropPage();
};

}  // namespace vireo
