#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog229() {
    return {};
}

}  // namespace res
