#pragma once

#include "pages/PidPage.h"

namespace vireo {

// PID of valve Mv1.
class PidMv1Page : public PidPage {
public:
    PidMv1Page();
};

}  // namespace vireo
