#pragma once

#include "sheet/NodePage.h"

// Page of the sheet; its controls and behaviour come with its function.
class CPage2PropPage : public CNodePage {
  public:
    CPage2PropPage() : CNodePage(201, 201, Behaviour()) {}

  private:
    static PageBehaviour Behaviour() {
        PageBehaviour b = behaviour::None();
        b.initDialogResult = FALSE;
        return b;
    }
};
