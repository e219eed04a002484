#include "res/Dialogs.h"
#include "res/PumpDialogs.h"

namespace res {

// Pump Mp2.
platform::DialogTemplate Dialog213() {
    return pump::Dialog(213, "Mp2");
}

}  // namespace res
