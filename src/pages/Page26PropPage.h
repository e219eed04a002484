#pragma once

#include "pages/ExercisePage.h"

namespace vireo {

// Exercise / Digital Valve, circuit 2.
class CPage26PropPage : public ExercisePage {
public:
    CPage26PropPage();
};

}  // namespace vireo
