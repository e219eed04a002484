#include "pages/StatusSwitchSw1Page.h"

namespace vireo {

StatusSwitchSw1Page::StatusSwitchSw1Page()
    : StatusSwitchPage({.dialogId = 208, .captionId = 208, .circuit = 0}) {}

}  // namespace vireo
