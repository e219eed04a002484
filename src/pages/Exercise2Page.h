#pragma once

#include "pages/ExercisePage.h"

namespace vireo {

// Exercise / Digital Valve, circuit 2.
class Exercise2Page : public ExercisePage {
public:
    Exercise2Page();
};

}  // namespace vireo
