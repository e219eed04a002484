#include "res/Dialogs.h"

namespace res {

using platform::ControlKind;

// About Vireo Control.
platform::DialogTemplate Dialog1() {
    return {1,
            "About Vireo Control",
            {
                {.id = 0, .kind = ControlKind::Icon},
                {.id = 0, .kind = ControlKind::Static, .text = "Vireo Control, Version 1.0"},
                {.id = 1, .kind = ControlKind::DefaultPushButton, .text = "OK"},
            }};
}

}  // namespace res
