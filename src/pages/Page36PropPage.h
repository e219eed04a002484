#pragma once

#include "platform/PropertyPage.h"

namespace vireo {

// An empty page that the sheet never shows.
class CPage36PropPage : public platform::CPropertyPage {
public:
    CPage36PropPage() : CPropertyPage(235, 0) {}
};

}  // namespace vireo
