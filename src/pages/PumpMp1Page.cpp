#include "pages/PumpMp1Page.h"

namespace vireo {

PumpMp1Page::PumpMp1Page() : PumpPage(212, 0) {}

}  // namespace vireo
