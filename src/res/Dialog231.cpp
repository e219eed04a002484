#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog231() {
    return {};
}

}  // namespace res
