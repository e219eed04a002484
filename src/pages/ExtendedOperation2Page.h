#pragma once

#include "pages/ExtendedOperationPage.h"

namespace vireo {

// Extended operation, circuit 2: bytes 13-24 of NV 36.
class ExtendedOperation2Page : public ExtendedOperationPage {
public:
    ExtendedOperation2Page();
};

}  // namespace vireo
