#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog213() { return {}; }

}  // namespace res
