#include "res/Dialogs.h"
#include "res/PumpDialogs.h"

namespace res {

// Pump Mp1.
platform::DialogTemplate Dialog212() {
    return pump::Dialog(212, "Mp1");
}

}  // namespace res
