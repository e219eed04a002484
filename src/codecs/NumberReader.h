#pragma once
// The one reader of typed and stored numbers, by the runtime's atof rules: leading white
// space skipped, the longest numeric prefix read (sign, digits, decimal point, exponent),
// 0 when the text holds no number.

#include <string_view>

namespace codecs {

double ReadNumber(std::string_view text);

}  // namespace codecs
