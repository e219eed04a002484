#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog214() { return {}; }

}  // namespace res
