#pragma once

#include "node/NodePage.h"

namespace vireo {

// Page of the sheet; its controls and behaviour come with its function.
class CPage19PropPage : public CNodePage {
public:
    CPage19PropPage() : CNodePage(218, 253, behaviour::None()) {}
};

}  // namespace vireo
