#pragma once
// The pump pages: the live output state of one pump with its three alarm flags, and the pump's
// operating mode word in NV 25 (Off, Manual, Automatic).

#include "node/NodePage.h"

namespace vireo {

// What differs between the pages of pump Mp1 and Mp2.
struct PumpTwin {
    int dialogId;
    int captionId;
    int modeOffset;  // high byte of the pump's mode word in NV 25
    int outputNv;    // live output state, byte 1
    int alarmByte;   // the pump's alarm byte in the status flags NV 35
};

class PumpPage : public CNodePage {
public:
    explicit PumpPage(const PumpTwin& twin);

protected:
    void Refresh() override;
    void ReadConfig() override;
    void WriteConfig() override;

private:
    PumpTwin twin_;
};

}  // namespace vireo
