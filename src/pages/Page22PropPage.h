#pragma once

#include "node/NodePage.h"

namespace vireo {

// Page of the sheet; its controls and behaviour come with its function.
class CPage22PropPage22 : public CNodePage {
public:
    CPage22PropPage22() : CNodePage(229, 256, behaviour::None()) {}
};

}  // namespace vireo
