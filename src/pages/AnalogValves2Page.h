#pragma once

#include "pages/AnalogValvePage.h"

namespace vireo {

// Analog Valve, circuit 2: valves Mv2 (first) and Mv4 (second).
class AnalogValves2Page : public AnalogValvePage {
public:
    AnalogValves2Page();
};

}  // namespace vireo
