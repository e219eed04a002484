#pragma once
// Texts in double quotes, as transcripts and the registry file write them.

#include <string>
#include <string_view>

namespace platform {

// A text in double quotes with \" \\ and \n escaped.
std::string QuoteText(const std::string& text);

// A text as a terminal may safely show it: control characters (C0, DEL and, in UTF-8, C1) are
// written as \xHH, so a name cannot move the cursor or recolour the screen; the rest is kept.
std::string PrintableText(std::string_view text);

}  // namespace platform
