#include "pages/Page10PropPage.h"

namespace vireo {

CPage10PropPage::CPage10PropPage()
    : StatusSwitchPage({.dialogId = 209, .captionId = 209, .circuit = 1}) {}

}  // namespace vireo
