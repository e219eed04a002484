#include "res/Dialogs.h"
#include "res/ExerciseDialogs.h"

namespace res {

// Exercise / Digital Valve, circuit 2.
platform::DialogTemplate Dialog224() {
    return exercise::Dialog(224);
}

}  // namespace res
