#pragma once

#include "node/NodePage.h"

namespace vireo {

// Page of the sheet; its controls and behaviour come with its function.
class CPage4PropPage : public CNodePage {
public:
    CPage4PropPage() : CNodePage(203, 203, behaviour::LeavingFocus(behaviour::None())) {}
};

}  // namespace vireo
