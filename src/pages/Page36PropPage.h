#pragma once

#include "platform/PropertyPage.h"

// An empty page that the sheet never shows.
class CPage36PropPage : public platform::CPropertyPage {
public:
    CPage36PropPage() : CPropertyPage(235, 0) {}
};
