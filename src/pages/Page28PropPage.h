#pragma once

#include "node/NodePage.h"

namespace vireo {

// Page of the sheet; its controls and behaviour come with its function.
class CPage28PropPage : public CNodePage {
public:
    CPage28PropPage() : CNodePage(226, 262, behaviour::None()) {}
};

}  // namespace vireo
