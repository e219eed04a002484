#pragma once
// The Import / Export dialog (201): the control ids that the dialog and its page share.

namespace res::import_export {

inline constexpr int kNodeName = 231;
inline constexpr int kFileName = 428;
inline constexpr int kDefault = 429;  // "Default": the node's name and file name again
inline constexpr int kSave = 427;
inline constexpr int kDownload = 430;
inline constexpr int kCompare = 431;  // "Compare with node..."
inline constexpr int kFactory = 201;
inline constexpr int kPassword = 226;

}  // namespace res::import_export
