#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog228() {
    return {};
}

}  // namespace res
