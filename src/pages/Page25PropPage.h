#pragma once

#include "node/NodePage.h"

namespace vireo {

// Page of the sheet; its controls and behaviour come with its function.
class CPage25PropPage : public CNodePage {
public:
    CPage25PropPage() : CNodePage(223, 259, behaviour::None()) {}
};

}  // namespace vireo
