#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog215() { return {}; }

}  // namespace res
