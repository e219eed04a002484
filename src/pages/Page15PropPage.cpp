#include "pages/Page15PropPage.h"

namespace vireo {

CPage15PropPage::CPage15PropPage() : ExtendedOperationPage(214, 0) {}

}  // namespace vireo
