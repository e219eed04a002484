#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog210() { return {}; }

}  // namespace res
