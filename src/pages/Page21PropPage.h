#pragma once

#include "sheet/NodePage.h"

// Page of the sheet; its controls and behaviour come with its function.
class CPage21PropPage : public CNodePage {
public:
    CPage21PropPage() : CNodePage(220, 255, Behaviour()) {}

private:
    static PageBehaviour Behaviour() {
        PageBehaviour b = behaviour::None();
        b.initDialogResult = TRUE;
        return b;
    }
};
