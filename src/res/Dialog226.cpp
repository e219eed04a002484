#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog226() {
    return {};
}

}  // namespace res
