#pragma once
// What a page is given to reach its node: the host's two interfaces as a NodeLink. The sheet
// that owns the pages provides it; a page never needs to know the sheet's class.

#include <string>

#include "node/NodeLink.h"

namespace vireo {

// What went wrong with the node that the user must see until it is mended: a Write whose
// values the node did not take, live values that can no longer be read.
enum class NodeTrouble { Write, Refresh };

class NodeSite {
public:
    virtual NodeLink Link() const = 0;
    // A page's live refresh read the node: the sheet shows the time of the last one.
    virtual void LiveValuesRefreshed() {}
    // A page reports a trouble ("Write of Pressure failed: NV 45 (part 6) not written"), or
    // that it is mended (an empty text).
    virtual void ShowTrouble(NodeTrouble, const std::string&) {}

protected:
    ~NodeSite() = default;
};

}  // namespace vireo
