#include "res/Dialogs.h"
#include "res/NightLoweringDialogs.h"

namespace res {

// Night lowering / Summer stop of circuit 1.
platform::DialogTemplate Dialog221() {
    return night_lowering::Dialog(221);
}

}  // namespace res
