#include "pages/Page16PropPage.h"

namespace vireo {

CPage16PropPage::CPage16PropPage() : ExtendedOperationPage(215, 1) {}

}  // namespace vireo
