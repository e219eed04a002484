#include "res/AntifrostDialogs.h"
#include "res/Dialogs.h"

namespace res {

// Antifrost of circuit 1, return sensor Bw2.
platform::DialogTemplate Dialog216() {
    return antifrost::Dialog(216, "Bw2");
}

}  // namespace res
