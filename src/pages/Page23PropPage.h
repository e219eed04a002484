#pragma once

#include "node/NodePage.h"

namespace vireo {

// Page of the sheet; its controls and behaviour come with its function.
class CPage23PropPage : public CNodePage {
public:
    CPage23PropPage() : CNodePage(221, 257, behaviour::None()) {}
};

}  // namespace vireo
