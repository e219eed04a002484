#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog206() {
    return {};
}

}  // namespace res
