#pragma once

#include "platform/PropertyPage.h"

namespace vireo {

// An Import / Export page that the sheet never shows: no controls, no behaviour.
class UnshownImportExportPage : public platform::CPropertyPage {
public:
    UnshownImportExportPage() : CPropertyPage(202, 202) {}

    BOOL OnInitDialog() override { return FALSE; }
};

}  // namespace vireo
