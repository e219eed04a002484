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
    void ReadConfig() override;
    bool ReadsAfterWrite() const override { return true; }

private:
    // The analog rule (analog true) or the digital rule: marks the sensor type's radio, clears
    // the other, and enables or disables the range, offset, set point and live edits.
    void ApplySensorRule(bool analog);
};

}  // namespace vireo
