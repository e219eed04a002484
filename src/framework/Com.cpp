#include "framework/Com.h"

#include <cstdio>

std::string GuidToString(const GUID& g) {
    char text[39];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

namespace {

bool HexValue(std::string_view text, std::uint64_t& value) {
    value = 0;
    for (char c : text) {
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return false;
        }
        value = value * 16 + static_cast<std::uint64_t>(digit);
    }
    return true;
}

}  // namespace

bool GuidFromString(std::string_view text, GUID& guid) {
    // {8-4-4-4-12}
    if (text.size() != 38 || text.front() != '{' || text.back() != '}' || text[9] != '-' ||
        text[14] != '-' || text[19] != '-' || text[24] != '-') {
        return false;
    }
    std::uint64_t d1 = 0;
    std::uint64_t d2 = 0;
    std::uint64_t d3 = 0;
    std::uint64_t d4 = 0;
    std::uint64_t d5 = 0;
    if (!HexValue(text.substr(1, 8), d1) || !HexValue(text.substr(10, 4), d2) ||
        !HexValue(text.substr(15, 4), d3) || !HexValue(text.substr(20, 4), d4) ||
        !HexValue(text.substr(25, 12), d5)) {
        return false;
    }
    guid.Data1 = static_cast<std::uint32_t>(d1);
    guid.Data2 = static_cast<std::uint16_t>(d2);
    guid.Data3 = static_cast<std::uint16_t>(d3);
    guid.Data4[0] = static_cast<std::uint8_t>(d4 >> 8);
    guid.Data4[1] = static_cast<std::uint8_t>(d4);
    for (int i = 0; i < 6; ++i) {
        guid.Data4[2 + i] = static_cast<std::uint8_t>(d5 >> (8 * (5 - i)));
    }
    return true;
}

std::string HresultText(HRESULT result) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(result));
    return text;
}
