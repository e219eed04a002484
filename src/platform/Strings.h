#pragma once
// The string table: user type name (1), About text (2) and the tab captions (200 to 270).

#include <string>

namespace platform {

// The text of a string resource, or an empty text for an id the table does not hold.
std::string LoadString(int id);

}  // namespace platform
