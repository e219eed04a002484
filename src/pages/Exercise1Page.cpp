#include "pages/Exercise1Page.h"

namespace vireo {

Exercise1Page::Exercise1Page() : ExercisePage({.dialogId = 223, .captionId = 259, .circuit = 0}) {}

}  // namespace vireo
