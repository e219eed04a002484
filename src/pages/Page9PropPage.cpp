#include "pages/Page9PropPage.h"

namespace vireo {

CPage9PropPage::CPage9PropPage()
    : StatusSwitchPage({.dialogId = 208, .captionId = 208, .circuit = 0}) {}

}  // namespace vireo
