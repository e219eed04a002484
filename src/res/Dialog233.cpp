#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog233() {
    return {};
}

}  // namespace res
