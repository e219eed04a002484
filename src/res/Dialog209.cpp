#include "res/Dialogs.h"
#include "res/StatusSwitchDialogs.h"

namespace res {

// Status Switch of rotary switch Sw2.
platform::DialogTemplate Dialog209() {
    return status_switch::Dialog(209, "Sw2");
}

}  // namespace res
