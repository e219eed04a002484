#pragma once

#include "sheet/NodePage.h"

// Page of the sheet; its controls and behaviour come with its function.
class CPage33PropPage : public CNodePage {
public:
    CPage33PropPage() : CNodePage(232, 267, Behaviour()) {}

private:
    static PageBehaviour Behaviour() {
        PageBehaviour b = behaviour::None();
        b.initDialogResult = TRUE;
        return b;
    }
};
