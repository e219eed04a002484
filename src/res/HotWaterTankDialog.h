#pragma once
// The hot-water tank dialog (232): the control ids that the dialog and its page share.

namespace res::hot_water_tank {

// Tank pump Mp3: mode radios Off, Manual, Automatic, and its live output.
inline constexpr int kPumpOff = 339;
inline constexpr int kPumpManual = 340;
inline constexpr int kPumpAutomatic = 341;
inline constexpr int kPumpOutput = 212;
// Running time of the hot-water pump, in seconds.
inline constexpr int kRunningTime = 232;
// Heating element: mode radios Off, Manual, Automatic, and its live output.
inline constexpr int kElementOff = 342;
inline constexpr int kElementManual = 343;
inline constexpr int kElementAutomatic = 344;
inline constexpr int kElementOutput = 213;

}  // namespace res::hot_water_tank
