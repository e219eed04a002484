#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog232() { return {}; }

}  // namespace res
