#include "pages/Page27PropPage.h"

namespace vireo {

CPage27PropPage::CPage27PropPage() : PidPage(225, 261, 0) {}

}  // namespace vireo
