#include "res/AnalogValveDialogs.h"
#include "res/Dialogs.h"

namespace res {

// Analog Valve, valves Mv1 and Mv3.
platform::DialogTemplate Dialog210() {
    return AnalogValveDialog(210, {"Mv1", kValveMv1Ids}, {"Mv3", kValveMv3Ids});
}

}  // namespace res
