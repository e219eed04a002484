#pragma once

#include "sheet/NodePage.h"

// Page of the sheet; its controls and behaviour come with its function.
class CPage12PropPage : public CNodePage {
public:
    CPage12PropPage() : CNodePage(211, 211, Behaviour()) {}

private:
    static PageBehaviour Behaviour() {
        PageBehaviour b = behaviour::None();
        b.initDialogResult = FALSE;
        return b;
    }
};
