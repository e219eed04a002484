#pragma once
// The Pressure dialog (228): the control ids that the dialog and its page share.

namespace res::pressure {

// Sensor type radios.
inline constexpr int kAnalogSensor = 224;
inline constexpr int kDigitalSensor = 225;
// The analog sensor's range and offset, and the live pressure.
inline constexpr int kSensorMin = 215;
inline constexpr int kSensorMax = 216;
inline constexpr int kOffset = 218;
inline constexpr int kActual = 219;
// Set points and supervision of regulators VI1 and VI2.
inline constexpr int kSetPointVi1 = 213;
inline constexpr int kSetPointVi2 = 212;
inline constexpr int kMonitorVi1 = 207;
inline constexpr int kStopPumpVi1 = 246;
inline constexpr int kMonitorVi2 = 209;
inline constexpr int kStopPumpVi2 = 248;

}  // namespace res::pressure
