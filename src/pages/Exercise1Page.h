#pragma once

#include "pages/ExercisePage.h"

namespace vireo {

// Exercise / Digital Valve, circuit 1.
class Exercise1Page : public ExercisePage {
public:
    Exercise1Page();
};

}  // namespace vireo
