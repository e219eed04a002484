#pragma once
// Hot-water tank: the tank pump Mp3 and the heating element, each with its live output and its
// operating mode word in NV 25, and the running time of the hot-water pump (nciTimePump3).

#include "page/NodePage.h"

namespace vireo {

class HotWaterTankPage : public CNodePage {
public:
    HotWaterTankPage();

protected:
    void WriteConfig() override;
};

}  // namespace vireo
