#include "res/Dialogs.h"
#include "res/TemperaturesDialogs.h"

namespace res {

// Temperatures, circuit 1: forward sensor Bw1, return sensor Bw2.
platform::DialogTemplate Dialog218() {
    return temperatures::Dialog(218, {"Bw1", "Bw2", temperatures::kCircuit1Ids});
}

}  // namespace res
