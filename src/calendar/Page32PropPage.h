#pragma once

#include "sheet/NodePage.h"

// Page of the sheet; its controls and behaviour come with its function.
class CPage32PropPage : public CNodePage {
public:
    CPage32PropPage() : CNodePage(231, 266, behaviour::None()) {}
};
