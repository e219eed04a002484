#include "pages/Antifrost2Page.h"

namespace vireo {

// No node fields: the protocol's Read and Write run with nothing to read or write.
Antifrost2Page::Antifrost2Page() : CNodePage(217, 252, behaviour::None()) {}

}  // namespace vireo
