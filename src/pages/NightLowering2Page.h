#pragma once

#include "page/NodePage.h"

namespace vireo {

// Night lowering / Summer stop with the controls of the circuit-1 page, without a link to the
// node; no page set holds it. Read and Write only show "Wait" and their own labels again;
// showing the page and its check boxes do nothing, and its edits stay empty.
class NightLowering2Page : public CNodePage {
public:
    NightLowering2Page() : CNodePage(222, 258, behaviour::None()) {}
};

}  // namespace vireo
