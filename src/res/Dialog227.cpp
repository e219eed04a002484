#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog227() {
    return {};
}

}  // namespace res
