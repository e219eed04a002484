#pragma once

#include "platform/PropertyPage.h"

namespace vireo {

// An empty page that the sheet never shows.
class UnusedPage2 : public platform::CPropertyPage {
public:
    UnusedPage2() : CPropertyPage(234, 269) {}
};

}  // namespace vireo
