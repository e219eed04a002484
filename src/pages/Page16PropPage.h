#pragma once

#include "sheet/NodePage.h"

// Page of the sheet; its controls and behaviour come with its function.
class CPage16PropPage : public CNodePage {
public:
    CPage16PropPage() : CNodePage(215, 215, Behaviour()) {}

private:
    static PageBehaviour Behaviour() {
        PageBehaviour b = behaviour::None();
        b.initDialogResult = FALSE;
        return b;
    }
};
