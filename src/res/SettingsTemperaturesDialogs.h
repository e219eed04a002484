#pragma once
// The Settings Temperatures dialogs: 220 for circuit 1 (heating curve, constant set points,
// live values) and 229 for circuit 2 (constant set points and its night-lowering switch), with
// the control ids that the dialogs and their pages share.

#include <array>

#include "platform/DialogTemplate.h"

namespace res::settings_temperatures {

// Dialog 220.
inline constexpr int kCalculatedSetPointOn = 292;  // check box "Calc.setpt    "
inline constexpr int kCurvePoints = 293;           // number of curve points
// Curve point k (0 to 4): its outdoor temperature and its forward temperature.
inline constexpr std::array<int, 5> kCurveOutdoor = {312, 313, 314, 315, 316};
inline constexpr std::array<int, 5> kCurveForward = {321, 320, 319, 318, 317};
inline constexpr int kNightOffset = 265;
inline constexpr int kCalculatedSetPoint = 263;  // live
inline constexpr int kOutdoorTemperature = 268;  // live
// The chart of the heating curve through the enabled points, with the live operating point.
inline constexpr int kCurveChart = 330;

// Both dialogs.
inline constexpr int kConstantDay = 266;
inline constexpr int kConstantNight = 267;
inline constexpr int kActualForward = 264;  // live

// Dialog 229.
inline constexpr int kNightLowering = 268;  // check box "Night lowering"

platform::DialogTemplate Circuit1Dialog();
platform::DialogTemplate Circuit2Dialog();

}  // namespace res::settings_temperatures
