#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog203() {
    return {};
}

}  // namespace res
