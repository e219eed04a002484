#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog224() {
    return {};
}

}  // namespace res
