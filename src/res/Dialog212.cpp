#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog212() { return {}; }

}  // namespace res
