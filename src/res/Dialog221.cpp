#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog221() {
    return {};
}

}  // namespace res
