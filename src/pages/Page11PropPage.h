#pragma once

#include "pages/AnalogValvePage.h"

namespace vireo {

// Analog Valve, circuit 1: valves Mv1 (first) and Mv3 (second).
class CPage11PropPage : public AnalogValvePage {
public:
    CPage11PropPage();
};

}  // namespace vireo
