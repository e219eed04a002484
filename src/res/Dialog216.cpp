#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog216() {
    return {};
}

}  // namespace res
