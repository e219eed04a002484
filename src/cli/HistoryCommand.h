#pragma once
// `vireo history`: the write history, decoded, one line per changed field.

#include <iosfwd>
#include <string>

namespace host {

struct HistoryOptions {
    std::string node;   // only this node's writes; empty: every node
    std::string since;  // "YYYY-MM-DD": only writes from that day on; empty: all
    std::string site;   // the node of node is this site's: it must be one of its nodes
};

// 0 when the history could be listed (an empty or not yet made history included), 1 when it
// cannot be read or is off or the site has no such node, 2 for a wrong date. A listing reads no
// channel's secret: it talks to no node.
int RunHistoryCommand(const HistoryOptions& options, std::ostream& out, std::ostream& err);

}  // namespace host
