#pragma once

#include "platform/PropertyPage.h"

namespace vireo {

// An empty page that the sheet never shows.
class CPage34PropPage : public platform::CPropertyPage {
public:
    CPage34PropPage() : CPropertyPage(233, 268) {}
};

}  // namespace vireo
