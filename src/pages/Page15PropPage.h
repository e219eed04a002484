#pragma once

#include "pages/ExtendedOperationPage.h"

namespace vireo {

// Extended operation, circuit 1: bytes 1-12 of NV 36.
class CPage15PropPage : public ExtendedOperationPage {
public:
    CPage15PropPage();
};

}  // namespace vireo
