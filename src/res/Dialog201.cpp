#include "res/Dialogs.h"

namespace res {

// No controls yet.
platform::DialogTemplate Dialog201() { return {}; }

}  // namespace res
