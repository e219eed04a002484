#pragma once
// What a page is given to reach its node: the host's two interfaces as a NodeLink. The sheet
// that owns the pages provides it; a page never needs to know the sheet's class.

#include "node/NodeLink.h"

namespace vireo {

class NodeSite {
public:
    virtual NodeLink Link() const = 0;
    // A page's live refresh read the node: the sheet shows the time of the last one.
    virtual void LiveValuesRefreshed() {}

protected:
    ~NodeSite() = default;
};

}  // namespace vireo
