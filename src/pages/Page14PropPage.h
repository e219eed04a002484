#pragma once

#include "sheet/NodePage.h"

// Page of the sheet; its controls and behaviour come with its function.
class CPage14PropPage : public CNodePage {
public:
    CPage14PropPage() : CNodePage(213, 213, Behaviour()) {}

private:
    static PageBehaviour Behaviour() {
        PageBehaviour b = behaviour::None();
        b.initDialogResult = FALSE;
        return b;
    }
};
