#pragma once

#include "node/NodePage.h"

namespace vireo {

// Page of the sheet; its controls and behaviour come with its function.
class CPage24PropPage : public CNodePage {
public:
    CPage24PropPage() : CNodePage(222, 258, behaviour::None()) {}
};

}  // namespace vireo
