#pragma once
// Night lowering / Summer stop of circuit 1: night lowering on or off and whether it starts
// and stops after the room temperature (part 1, byte 2, 0x01 and 0x02) with the room set point
// (part 4) and the live room temperature (NV 6); summer stop on or off (0x04) with the
// temperature before summer stop and the time before the pump stops (part 3). Each check box
// enables the controls that belong to it. The part selections pause 200 ms before and after.

#include "page/NodePage.h"

namespace vireo {

class NightLoweringPage : public CNodePage {
public:
    NightLoweringPage();

protected:
    void ReadConfig() override;
    void ShowExtras() override;
    bool ReadsAfterWrite() const override { return true; }

private:
    // Night lowering off clears and disables "Start/stop after room temp"; then the room rule.
    // Clearing a box is more than enabling, so this rule is code, not an enabling rule.
    void ApplyNightRule();
};

}  // namespace vireo
