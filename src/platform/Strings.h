#pragma once
// The string table of the module whose code runs now (its framework state's resources).

#include <string>

namespace platform {

// The text of a string resource, or an empty text for an id the table does not hold.
std::string LoadString(int id);

}  // namespace platform
