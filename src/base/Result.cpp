#include "base/Result.h"

namespace base {

std::string Problem::Text() const {
    if (file_.empty()) {
        return text_;
    }
    return file_ + ":" + std::to_string(line_) + ": " + text_;
}

}  // namespace base
