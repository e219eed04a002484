#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog207() {
    return {};
}

}  // namespace res
