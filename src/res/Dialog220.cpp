#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog220() {
    return {};
}

}  // namespace res
