#pragma once
// The dialogs of the two Extended operation pages (214: circuit 1, 215: circuit 2) and their
// control ids, the same on both.

#include "platform/DialogTemplate.h"

namespace res::extended_operation {

// Delay edits, text "H:MM".
inline constexpr int kBoostDelay = 203;
inline constexpr int kDayDelay = 204;
inline constexpr int kNightDelay = 205;
// "Start" beside each delay edit.
inline constexpr int kStartBoost = 206;
inline constexpr int kStartDay = 207;
inline constexpr int kStartNight = 208;

platform::DialogTemplate Dialog(int dialogId);

}  // namespace res::extended_operation
