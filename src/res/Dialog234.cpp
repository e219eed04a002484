#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog234() {
    return {};
}

}  // namespace res
