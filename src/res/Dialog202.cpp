#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog202() {
    return {};
}

}  // namespace res
