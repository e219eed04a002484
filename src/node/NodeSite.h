#pragma once
// What a page is given to reach its node: the host's two interfaces as a NodeLink. The sheet
// that owns the pages provides it; a page never needs to know the sheet's class.

#include "node/NodeLink.h"

namespace vireo {

class NodeSite {
public:
    virtual NodeLink Link() const = 0;

protected:
    ~NodeSite() = default;
};

}  // namespace vireo
