#include "res/Dialogs.h"
#include "res/StatusSwitchDialogs.h"

namespace res {

// Status Switch of rotary switch Sw1.
platform::DialogTemplate Dialog208() {
    return status_switch::Dialog(208, "Sw1");
}

}  // namespace res
