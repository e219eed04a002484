#include "codecs/HexBytes.h"

namespace codecs {

std::string HexBytes(const std::uint8_t* bytes, std::size_t count) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(count * 3);
    for (std::size_t i = 0; i < count; ++i) {
        if (i != 0) {
            text += ' ';
        }
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

bool ParseHexBytes(std::string_view text, std::vector<std::uint8_t>& bytes,
                   std::string_view blanks) {
    bytes.clear();
    for (std::size_t i = 0; i < text.size();) {
        if (blanks.find(text[i]) != std::string_view::npos) {
            ++i;
            continue;
        }
        const int high = HexDigitValue(text[i]);
        const int low = i + 1 < text.size() ? HexDigitValue(text[i + 1]) : -1;
        if (high < 0 || low < 0) {
            bytes.clear();
            return false;
        }
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
        i += 2;
    }
    return true;
}

}  // namespace codecs
