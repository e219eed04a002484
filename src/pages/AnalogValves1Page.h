#pragma once

#include "pages/AnalogValvePage.h"

namespace vireo {

// Analog Valve, circuit 1: valves Mv1 (first) and Mv3 (second).
class AnalogValves1Page : public AnalogValvePage {
public:
    AnalogValves1Page();
};

}  // namespace vireo
