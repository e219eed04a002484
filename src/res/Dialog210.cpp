#include "res/AnalogValveDialogs.h"
#include "res/Dialogs.h"

namespace res {

// Analog Valve, valves Mv1 and Mv3.
platform::DialogTemplate Dialog210() {
    return analog_valve::Dialog(210, {"Mv1", analog_valve::kValveMv1Ids},
                                {"Mv3", analog_valve::kValveMv3Ids});
}

}  // namespace res
