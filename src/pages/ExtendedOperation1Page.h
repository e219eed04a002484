#pragma once

#include "pages/ExtendedOperationPage.h"

namespace vireo {

// Extended operation, circuit 1: bytes 1-12 of NV 36.
class ExtendedOperation1Page : public ExtendedOperationPage {
public:
    ExtendedOperation1Page();
};

}  // namespace vireo
