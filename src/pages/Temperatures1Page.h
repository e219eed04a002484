#pragma once

#include "pages/TemperaturesPage.h"

namespace vireo {

// Temperatures, circuit 1: forward sensor Bw1, return sensor Bw2.
class Temperatures1Page : public TemperaturesPage {
public:
    Temperatures1Page();
};

}  // namespace vireo
