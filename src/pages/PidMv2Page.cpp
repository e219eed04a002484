#include "pages/PidMv2Page.h"

namespace vireo {

PidMv2Page::PidMv2Page() : PidPage(226, 262, 1) {}

}  // namespace vireo
