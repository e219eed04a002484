#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog223() {
    return {};
}

}  // namespace res
