#pragma once

#include "pages/TemperaturesPage.h"

namespace vireo {

// Temperatures, circuit 2: forward sensor Bw3, return sensor Bw4.
class Temperatures2Page : public TemperaturesPage {
public:
    Temperatures2Page();
};

}  // namespace vireo
