#include "res/AnalogValveDialogs.h"
#include "res/Dialogs.h"

namespace res {

// Analog Valve, valves Mv2 and Mv4.
platform::DialogTemplate Dialog211() {
    return analog_valve::Dialog(211, {"Mv2", analog_valve::kValveMv2Ids},
                                {"Mv4", analog_valve::kValveMv4Ids});
}

}  // namespace res
