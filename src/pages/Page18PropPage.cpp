#include "pages/Page18PropPage.h"

namespace vireo {

// No node fields: the protocol's Read and Write run with nothing to read or write.
CPage18PropPage::CPage18PropPage() : CNodePage(217, 252, behaviour::None()) {}

}  // namespace vireo
