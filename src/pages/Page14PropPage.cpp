#include "pages/Page14PropPage.h"

namespace vireo {

CPage14PropPage::CPage14PropPage() : PumpPage(213, 1) {}

}  // namespace vireo
