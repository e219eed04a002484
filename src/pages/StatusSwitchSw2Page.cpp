#include "pages/StatusSwitchSw2Page.h"

namespace vireo {

StatusSwitchSw2Page::StatusSwitchSw2Page()
    : StatusSwitchPage({.dialogId = 209, .captionId = 209, .circuit = 1}) {}

}  // namespace vireo
