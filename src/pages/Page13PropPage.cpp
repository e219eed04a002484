#include "pages/Page13PropPage.h"

namespace vireo {

CPage13PropPage::CPage13PropPage() : PumpPage(212, 0) {}

}  // namespace vireo
