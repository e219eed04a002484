#pragma once

#include "sheet/NodePage.h"

// Page of the sheet; its controls and behaviour come with its function.
class CPage18PropPage : public CNodePage {
public:
    CPage18PropPage() : CNodePage(217, 252, Behaviour()) {}

private:
    static PageBehaviour Behaviour() {
        PageBehaviour b = behaviour::None();
        b.initDialogResult = TRUE;
        return b;
    }
};
