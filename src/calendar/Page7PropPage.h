#pragma once

#include "node/NodePage.h"

namespace vireo {

// Page of the sheet; its controls and behaviour come with its function.
class CPage7PropPage : public CNodePage {
public:
    CPage7PropPage() : CNodePage(206, 206, behaviour::LeavingFocus(behaviour::None())) {}
};

}  // namespace vireo
