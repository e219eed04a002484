#include "res/AnalogValveDialogs.h"
#include "res/Dialogs.h"

namespace res {

// Analog Valve, valves Mv2 and Mv4.
platform::DialogTemplate Dialog211() {
    return AnalogValveDialog(211, {"Mv2", kValveMv2Ids}, {"Mv4", kValveMv4Ids});
}

}  // namespace res
