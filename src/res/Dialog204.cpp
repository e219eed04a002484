#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog204() {
    return {};
}

}  // namespace res
