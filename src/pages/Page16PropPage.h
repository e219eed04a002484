#pragma once

#include "pages/ExtendedOperationPage.h"

namespace vireo {

// Extended operation, circuit 2: bytes 13-24 of NV 36.
class CPage16PropPage : public ExtendedOperationPage {
public:
    CPage16PropPage();
};

}  // namespace vireo
