#pragma once
// Pressure: the sensor type (analog or digital), the analog sensor's range and offset, the set
// point of regulators VI1 and VI2 and their pressure supervision (flags in part 1, numbers in
// part 6), with the live pressure (NV 24).

#include "page/NodePage.h"

namespace vireo {

class PressurePage : public CNodePage {
public:
    PressurePage();

protected:
    bool ReadsAfterWrite() const override { return true; }
};

}  // namespace vireo
