#pragma once

#include "page/NodePage.h"

namespace vireo {

class CSheet;

// Node Information: the node's name and the buttons that swap page set 1 and page set 2.
class CVireoPropPage : public CNodePage {
public:
    explicit CVireoPropPage(CSheet& sheet);

    BOOL OnInitDialog() override;

    void OnVi1();
    void OnVi2();

private:
    CSheet& sheet_;
};

}  // namespace vireo
