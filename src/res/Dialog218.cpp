#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog218() {
    return {};
}

}  // namespace res
