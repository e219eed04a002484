#include "res/Dialogs.h"
#include "res/ExtendedOperationDialogs.h"

namespace res {

// Extended operation, circuit 1.
platform::DialogTemplate Dialog214() {
    return extended_operation::Dialog(214);
}

}  // namespace res
