#include "res/Dialogs.h"
#include "res/TemperaturesDialogs.h"

namespace res {

// Temperatures, circuit 2: forward sensor Bw3, return sensor Bw4.
platform::DialogTemplate Dialog219() {
    return temperatures::Dialog(219, {"Bw3", "Bw4", temperatures::kCircuit2Ids});
}

}  // namespace res
