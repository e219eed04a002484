#pragma once
// Texts in double quotes, as transcripts and the registry file write them.

#include <string>

namespace platform {

// A text in double quotes with \" \\ and \n escaped.
std::string QuoteText(const std::string& text);

}  // namespace platform
