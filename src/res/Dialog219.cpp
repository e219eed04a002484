#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog219() {
    return {};
}

}  // namespace res
