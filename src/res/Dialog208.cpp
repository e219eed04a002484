#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog208() { return {}; }

}  // namespace res
