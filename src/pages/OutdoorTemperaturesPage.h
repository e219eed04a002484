#pragma once
// Outdoor Temperatures: the temperature measured by the outdoor sensor Bs (NV 12) and the
// sensor's offset (part 2). Both edits are disabled while the measured value says that no
// sensor is fitted.

#include "page/NodePage.h"

namespace vireo {

class OutdoorTemperaturesPage : public CNodePage {
public:
    OutdoorTemperaturesPage();

protected:
    void AfterTimerExtras() override;
    bool ReadsAfterWrite() const override { return true; }
};

}  // namespace vireo
