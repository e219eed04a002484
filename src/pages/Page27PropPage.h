#pragma once

#include "node/NodePage.h"

namespace vireo {

// Page of the sheet; its controls and behaviour come with its function.
class CPage27PropPage : public CNodePage {
public:
    CPage27PropPage() : CNodePage(225, 261, behaviour::None()) {}
};

}  // namespace vireo
