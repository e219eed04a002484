#pragma once

#include "sheet/NodePage.h"

// Page of the sheet; its controls and behaviour come with its function.
class CPage6PropPage : public CNodePage {
public:
    CPage6PropPage() : CNodePage(205, 205, Behaviour()) {}

private:
    static PageBehaviour Behaviour() {
        PageBehaviour b = behaviour::None();
        b.initDialogResult = FALSE;
        return b;
    }
};
