#include "pages/PidMv1Page.h"

namespace vireo {

PidMv1Page::PidMv1Page() : PidPage(225, 261, 0) {}

}  // namespace vireo
