#include "pages/Exercise2Page.h"

namespace vireo {

Exercise2Page::Exercise2Page() : ExercisePage({.dialogId = 224, .captionId = 260, .circuit = 1}) {}

}  // namespace vireo
