#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog211() { return {}; }

}  // namespace res
