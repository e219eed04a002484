#pragma once

#include "platform/PropertyPage.h"

namespace vireo {

// An empty page that the sheet never shows.
class UnusedPage1 : public platform::CPropertyPage {
public:
    UnusedPage1() : CPropertyPage(233, 268) {}
};

}  // namespace vireo
