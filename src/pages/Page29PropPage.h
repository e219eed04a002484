#pragma once

#include "node/NodePage.h"

namespace vireo {

// Page of the sheet; its controls and behaviour come with its function.
class CPage29PropPage : public CNodePage {
public:
    CPage29PropPage() : CNodePage(227, 263, behaviour::None()) {}
};

}  // namespace vireo
