#pragma once
// The Outdoor Temperatures dialog (227): the control ids that the dialog and its page share.

namespace res::outdoor {

inline constexpr int kActual = 229;  // measured outdoor temperature
inline constexpr int kOffset = 230;  // outdoor sensor offset

}  // namespace res::outdoor
