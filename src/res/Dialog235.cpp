#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog235() {
    return {};
}

}  // namespace res
