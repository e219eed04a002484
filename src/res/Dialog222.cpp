#include "res/Dialogs.h"
#include "res/NightLoweringDialogs.h"

namespace res {

// Night lowering / Summer stop, the same controls, for the page that no page set holds.
platform::DialogTemplate Dialog222() {
    return night_lowering::Dialog(222);
}

}  // namespace res
