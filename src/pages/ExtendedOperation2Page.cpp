#include "pages/ExtendedOperation2Page.h"

namespace vireo {

ExtendedOperation2Page::ExtendedOperation2Page() : ExtendedOperationPage(215, 1) {}

}  // namespace vireo
