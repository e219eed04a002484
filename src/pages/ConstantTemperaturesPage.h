#pragma once
// Settings Temperatures of circuit 2: the constant day and night temperatures of NV 38 (bytes
// 27-30) and the circuit's night-lowering switch (part 1, byte 8, 0x01), which enables the
// night temperature. Live value: the forward temperature (NV 15). Write stores the switch
// first, then NV 38, and ends with a Read.

#include "page/NodePage.h"

namespace vireo {

class ConstantTemperaturesPage : public CNodePage {
public:
    ConstantTemperaturesPage();

protected:
    void ReadConfig() override;
    bool ReadsAfterWrite() const override { return true; }
};

}  // namespace vireo
