#pragma once

#include "node/NodePage.h"

namespace vireo {

// Page of the sheet; its controls and behaviour come with its function.
class CPage17PropPage : public CNodePage {
public:
    CPage17PropPage() : CNodePage(216, 251, behaviour::None()) {}
};

}  // namespace vireo
