#pragma once

#include "platform/PropertyPage.h"

namespace vireo {

// An empty page that the sheet never shows.
class CPage35PropPage : public platform::CPropertyPage {
public:
    CPage35PropPage() : CPropertyPage(234, 269) {}
};

}  // namespace vireo
