#include "pages/ExtendedOperation1Page.h"

namespace vireo {

ExtendedOperation1Page::ExtendedOperation1Page() : ExtendedOperationPage(214, 0) {}

}  // namespace vireo
