#pragma once

#include "node/NodePage.h"

namespace vireo {

// Page of the sheet; its controls and behaviour come with its function.
class CPage18PropPage : public CNodePage {
public:
    CPage18PropPage() : CNodePage(217, 252, behaviour::None()) {}
};

}  // namespace vireo
