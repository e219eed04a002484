#pragma once

#include "node/NodePage.h"

namespace vireo {

// Page of the sheet; its controls and behaviour come with its function.
class CPage26PropPage : public CNodePage {
public:
    CPage26PropPage() : CNodePage(224, 260, behaviour::None()) {}
};

}  // namespace vireo
