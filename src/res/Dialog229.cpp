#include "res/Dialogs.h"
#include "res/SettingsTemperaturesDialogs.h"

namespace res {

// Settings Temperatures, circuit 2.
platform::DialogTemplate Dialog229() {
    return settings_temperatures::Circuit2Dialog();
}

}  // namespace res
