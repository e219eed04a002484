#pragma once

#include "pages/TemperaturesPage.h"

namespace vireo {

// Temperatures, circuit 2: forward sensor Bw3, return sensor Bw4.
class CPage20PropPage : public TemperaturesPage {
public:
    CPage20PropPage();
};

}  // namespace vireo
