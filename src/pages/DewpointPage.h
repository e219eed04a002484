#pragma once

#include "platform/PropertyPage.h"

namespace vireo {

// The dewpoint page: its dialog holds edits and buttons that no code reads, writes or enables.
class DewpointPage : public platform::CPropertyPage {
public:
    DewpointPage() : CPropertyPage(230, 0) {}
};

}  // namespace vireo
