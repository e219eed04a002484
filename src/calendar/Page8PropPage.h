#pragma once

#include "node/NodePage.h"

namespace vireo {

// Page of the sheet; its controls and behaviour come with its function.
class CPage8PropPage : public CNodePage {
public:
    CPage8PropPage() : CNodePage(207, 207, behaviour::LeavingFocus(behaviour::None())) {}
};

}  // namespace vireo
