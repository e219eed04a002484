#include "res/Dialogs.h"

namespace res {

using platform::ControlKind;

// Import / Export: export to and download from a settings file, and the factory settings.
platform::DialogTemplate Dialog201() {
    const char* factory = "Factory settings";
    return {
        201,
        "Import / Export",
        {
            {.id = 231, .kind = ControlKind::Edit, .text = "Nodename :"},
            {.id = 428, .kind = ControlKind::Edit, .text = "Filename"},
            {.id = 429, .kind = ControlKind::PushButton, .text = "Default"},
            {.id = 427, .kind = ControlKind::PushButton, .text = "Save to file"},
            {.id = 430, .kind = ControlKind::PushButton, .text = "Read from file"},
            {.id = 431, .kind = ControlKind::PushButton, .text = "Compare with node..."},
            {.id = 0,
             .kind = ControlKind::Static,
             .text = "Please note: After setting the software values to factory settings, "
                     "you must RESTART the plugin.",
             .group = factory},
            {.id = 226, .kind = ControlKind::PasswordEdit, .text = "Password", .group = factory},
            {.id = 201,
             .kind = ControlKind::PushButton,
             .text = "Default settings",
             .group = factory},
        }};
}

}  // namespace res
