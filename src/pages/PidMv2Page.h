#pragma once

#include "pages/PidPage.h"

namespace vireo {

// PID of valve Mv2.
class PidMv2Page : public PidPage {
public:
    PidMv2Page();
};

}  // namespace vireo
