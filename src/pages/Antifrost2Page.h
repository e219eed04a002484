#pragma once

#include "page/NodePage.h"

namespace vireo {

// Antifrost of circuit 2: the controls of the circuit-1 page with return sensor Bw4, without a
// link to the node. Read and Write only show "Wait" and their own labels again; showing the
// page, its timer and its check box do nothing, and its edits stay empty.
class Antifrost2Page : public CNodePage {
public:
    Antifrost2Page();
};

}  // namespace vireo
