#include "res/AntifrostDialogs.h"
#include "res/Dialogs.h"

namespace res {

// Antifrost of circuit 2, return sensor Bw4.
platform::DialogTemplate Dialog217() {
    return antifrost::Dialog(217, "Bw4");
}

}  // namespace res
