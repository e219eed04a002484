#pragma once
// Antifrost of circuit 1: frost protection of the heating surface on or off, the outdoor
// temperatures at which it starts and stops and the return temperature of the heating surface
// (flag in part 1, temperatures in part 2), with the live outdoor temperature and frost state.

#include "page/NodePage.h"

namespace vireo {

class AntifrostPage : public CNodePage {
public:
    AntifrostPage();

protected:
    void ReadConfig() override;
    // The enabling rule runs once more on show, whether or not the Read could show the flag.
    void ShowExtras() override;
    bool ReadsAfterWrite() const override { return true; }
};

}  // namespace vireo
