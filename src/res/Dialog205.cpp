#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog205() {
    return {};
}

}  // namespace res
