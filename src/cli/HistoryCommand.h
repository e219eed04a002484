#pragma once
// `vireo history`: the write history, decoded, one line per changed field.

#include <iosfwd>
#include <string>

namespace host {

struct HistoryOptions {
    std::string node;   // only this node's writes; empty: every node
    std::string since;  // "YYYY-MM-DD": only writes from that day on; empty: all
};

// 0 when the history could be listed (an empty or not yet made history included), 1 when it
// cannot be read or is off, 2 for a wrong date.
int RunHistoryCommand(const HistoryOptions& options, std::ostream& out, std::ostream& err);

}  // namespace host
