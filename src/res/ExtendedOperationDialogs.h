#pragma once
// The dialogs of the two Extended operation pages (214: circuit 1, 215: circuit 2) and their
// control ids, the same on both.

#include "platform/DialogTemplate.h"

namespace res {

// Delay edits, text "H:MM".
inline constexpr int IDC_BOOST_DELAY = 203;
inline constexpr int IDC_DAY_DELAY = 204;
inline constexpr int IDC_NIGHT_DELAY = 205;
// "Start" beside each delay edit.
inline constexpr int IDC_START_BOOST = 206;
inline constexpr int IDC_START_DAY = 207;
inline constexpr int IDC_START_NIGHT = 208;

platform::DialogTemplate ExtendedOperationDialog(int dialogId);

}  // namespace res
