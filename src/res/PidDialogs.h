#pragma once
// The PID dialogs (225 for valve Mv1, 226 for Mv2): one builder, and the control ids that the
// dialogs and their pages share.

#include <string>

#include "platform/DialogTemplate.h"

namespace res::pid {

inline constexpr int kP = 213;  // proportional, "%.1f"
inline constexpr int kI = 217;  // integral, "%.0f"
inline constexpr int kD = 221;  // derivative, "%.0f"
inline constexpr int kPassword = 226;

// valveName is "Mv1" or "Mv2".
platform::DialogTemplate Dialog(int dialogId, const std::string& valveName);

}  // namespace res::pid
