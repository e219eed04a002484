#pragma once

#include "node/NodePage.h"

namespace vireo {

// Page of the sheet; its controls and behaviour come with its function.
class CPage21PropPage : public CNodePage {
public:
    CPage21PropPage() : CNodePage(220, 255, behaviour::None()) {}
};

}  // namespace vireo
