#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog222() {
    return {};
}

}  // namespace res
