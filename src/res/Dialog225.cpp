#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog225() {
    return {};
}

}  // namespace res
