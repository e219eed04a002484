#pragma once

#include "sheet/NodePage.h"

// Page of the sheet; its controls and behaviour come with its function.
class CPage24PropPage : public CNodePage {
public:
    CPage24PropPage() : CNodePage(222, 258, Behaviour()) {}

private:
    static PageBehaviour Behaviour() {
        PageBehaviour b = behaviour::None();
        b.initDialogResult = TRUE;
        return b;
    }
};
