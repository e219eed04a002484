#pragma once
// The Node Information dialog (200): the control ids that the dialog and its page share.

namespace res::node_info {

inline constexpr int kNodeName = 231;
inline constexpr int kVi1 = 234;
inline constexpr int kVi2 = 235;

}  // namespace res::node_info
