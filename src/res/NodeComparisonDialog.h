#pragma once
// The node comparison dialog (236) that "Compare with node..." on the Import / Export page opens:
// the node's values beside a settings file's, field by field.

namespace res::node_comparison {

inline constexpr int kDialog = 236;
inline constexpr int kTable = 237;    // columns: changed mark, variable, field, node, file
inline constexpr int kSummary = 238;  // "No differences", or how many there are
inline constexpr int kOk = 1;

}  // namespace res::node_comparison
