#pragma once
// The one reader of typed and stored numbers, by the runtime's atof rules: leading white
// space skipped, the longest numeric prefix read (sign, digits, decimal point, exponent),
// 0 when the text holds no number; and the one writer of shown numbers. Both use a decimal
// point whatever the desktop's language: the node's numbers are never written with a comma.

#include <string>
#include <string_view>

namespace codecs {

double ReadNumber(std::string_view text);
// Whether the text is one number and nothing else (white space around it aside).
bool IsWholeNumber(std::string_view text);

// The number with the given decimals, as "%.0f" or "%.1f" writes it in the C locale.
std::string FixedText(double value, int decimals);

}  // namespace codecs
