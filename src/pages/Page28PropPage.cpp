#include "pages/Page28PropPage.h"

namespace vireo {

CPage28PropPage::CPage28PropPage() : PidPage(226, 262, 1) {}

}  // namespace vireo
