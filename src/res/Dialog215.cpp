#include "res/Dialogs.h"
#include "res/ExtendedOperationDialogs.h"

namespace res {

// Extended operation, circuit 2.
platform::DialogTemplate Dialog215() {
    return extended_operation::Dialog(215);
}

}  // namespace res
