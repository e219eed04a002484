#pragma once

#include "node/NodePage.h"

namespace vireo {

// Page of the sheet; its controls and behaviour come with its function.
class CPage6PropPage : public CNodePage {
public:
    CPage6PropPage() : CNodePage(205, 205, behaviour::LeavingFocus(behaviour::None())) {}
};

}  // namespace vireo
