#include "res/Dialogs.h"
#include "res/ExerciseDialogs.h"

namespace res {

// Exercise / Digital Valve, circuit 1.
platform::DialogTemplate Dialog223() {
    return exercise::Dialog(223);
}

}  // namespace res
