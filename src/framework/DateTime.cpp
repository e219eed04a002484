#include "framework/DateTime.h"

#include <cstdio>

namespace platform {

std::string DateTime::TimeText() const {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour % 100, minute % 100, second % 100);
    return text;
}

}  // namespace platform
