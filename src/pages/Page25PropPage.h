#pragma once

#include "pages/ExercisePage.h"

namespace vireo {

// Exercise / Digital Valve, circuit 1.
class CPage25PropPage : public ExercisePage {
public:
    CPage25PropPage();
};

}  // namespace vireo
