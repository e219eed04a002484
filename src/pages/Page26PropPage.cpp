#include "pages/Page26PropPage.h"

namespace vireo {

CPage26PropPage::CPage26PropPage()
    : ExercisePage({.dialogId = 224, .captionId = 260, .circuit = 1}) {}

}  // namespace vireo
