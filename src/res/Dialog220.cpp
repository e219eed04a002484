#include "res/Dialogs.h"
#include "res/SettingsTemperaturesDialogs.h"

namespace res {

// Settings Temperatures, circuit 1.
platform::DialogTemplate Dialog220() {
    return settings_temperatures::Circuit1Dialog();
}

}  // namespace res
