#include "res/Dialogs.h"
#include "res/PidDialogs.h"

namespace res {

// PID of valve Mv2.
platform::DialogTemplate Dialog226() {
    return pid::Dialog(226, "Mv2");
}

}  // namespace res
