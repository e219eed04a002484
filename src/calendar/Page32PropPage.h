#pragma once

#include "sheet/NodePage.h"

// Page of the sheet; its controls and behaviour come with its function.
class CPage32PropPage : public CNodePage {
public:
    CPage32PropPage() : CNodePage(231, 266, Behaviour()) {}

private:
    static PageBehaviour Behaviour() {
        PageBehaviour b = behaviour::None();
        b.initDialogResult = TRUE;
        return b;
    }
};
