#pragma once

#include "sheet/NodePage.h"

// Page of the sheet; its controls and behaviour come with its function.
class CPage10PropPage : public CNodePage {
public:
    CPage10PropPage() : CNodePage(209, 209, Behaviour()) {}

private:
    static PageBehaviour Behaviour() {
        PageBehaviour b = behaviour::None();
        b.initDialogResult = FALSE;
        return b;
    }
};
