#pragma once

#include "pages/TemperaturesPage.h"

namespace vireo {

// Temperatures, circuit 1: forward sensor Bw1, return sensor Bw2.
class CPage19PropPage : public TemperaturesPage {
public:
    CPage19PropPage();
};

}  // namespace vireo
