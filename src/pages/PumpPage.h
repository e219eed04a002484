#pragma once
// The pump pages: the live output state of one pump with its three alarm flags, and the pump's
// operating mode word in NV 25 (Off, Manual, Automatic; no radio marked writes Automatic).

#include "page/NodePage.h"

namespace vireo {

class PumpPage : public CNodePage {
public:
    // pump: 0 for Mp1, 1 for Mp2.
    PumpPage(int dialogId, int pump);
};

}  // namespace vireo
