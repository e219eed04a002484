#pragma once

#include "node/NodePage.h"

namespace vireo {

// Page of the sheet; its controls and behaviour come with its function.
class CPage30PropPage : public CNodePage {
public:
    CPage30PropPage() : CNodePage(228, 264, behaviour::None()) {}
};

}  // namespace vireo
