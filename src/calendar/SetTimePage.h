#pragma once
// Set Time: the PC's date and time beside the node's clock (NV 3), refreshed on show and every
// two seconds, and "Sync", which writes the PC's date and time to the node's clock (NV 0).

#include "page/NodePage.h"

namespace vireo {

class SetTimePage : public CNodePage {
public:
    SetTimePage();

protected:
    // The node's clock, then the PC's.
    void Refresh() override;

private:
    void Sync();
};

}  // namespace vireo
