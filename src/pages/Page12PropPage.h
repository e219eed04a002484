#pragma once

#include "pages/AnalogValvePage.h"

namespace vireo {

// Analog Valve, circuit 2: valves Mv2 (first) and Mv4 (second).
class CPage12PropPage : public AnalogValvePage {
public:
    CPage12PropPage();
};

}  // namespace vireo
