#pragma once

#include "platform/PropertyPage.h"

namespace vireo {

// An empty page that the sheet never shows.
class UnusedPage3 : public platform::CPropertyPage {
public:
    UnusedPage3() : CPropertyPage(235, 0) {}
};

}  // namespace vireo
