#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog209() { return {}; }

}  // namespace res
