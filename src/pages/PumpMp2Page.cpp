#include "pages/PumpMp2Page.h"

namespace vireo {

PumpMp2Page::PumpMp2Page() : PumpPage(213, 1) {}

}  // namespace vireo
