#pragma once

#include "node/NodePage.h"

namespace vireo {

// Page of the sheet; its controls and behaviour come with its function.
class CPage20PropPage : public CNodePage {
public:
    CPage20PropPage() : CNodePage(219, 254, behaviour::None()) {}
};

}  // namespace vireo
