#include "res/Dialogs.h"
#include "res/PidDialogs.h"

namespace res {

// PID of valve Mv1.
platform::DialogTemplate Dialog225() {
    return pid::Dialog(225, "Mv1");
}

}  // namespace res
