#pragma once

#include "node/NodePage.h"

namespace vireo {

// Page of the sheet; its controls and behaviour come with its function.
class CPage32PropPage : public CNodePage {
public:
    CPage32PropPage() : CNodePage(231, 266, behaviour::None()) {}
};

}  // namespace vireo
