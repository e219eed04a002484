#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog217() {
    return {};
}

}  // namespace res
