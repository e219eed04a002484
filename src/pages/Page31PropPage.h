#pragma once

#include "platform/PropertyPage.h"

namespace vireo {

// The dewpoint page: its dialog holds edits and buttons that no code reads, writes or enables.
class CPage31PropPage : public platform::CPropertyPage {
public:
    CPage31PropPage() : CPropertyPage(230, 0) {}
};

}  // namespace vireo
