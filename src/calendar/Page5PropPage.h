#pragma once

#include "node/NodePage.h"

namespace vireo {

// Page of the sheet; its controls and behaviour come with its function.
class CPage5PropPage : public CNodePage {
public:
    CPage5PropPage() : CNodePage(204, 204, behaviour::LeavingFocus(behaviour::None())) {}
};

}  // namespace vireo
