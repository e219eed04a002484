#include "pages/Page25PropPage.h"

namespace vireo {

CPage25PropPage::CPage25PropPage()
    : ExercisePage({.dialogId = 223, .captionId = 259, .circuit = 0}) {}

}  // namespace vireo
