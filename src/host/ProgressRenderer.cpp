#include "host/ProgressRenderer.h"

#include <algorithm>
#include <ostream>

namespace host {

void ProgressRenderer::Step(const std::string& line) {
    if (style_ == ProgressStyle::Lines) {
        out_ << line << '\n';
    }
}

void ProgressRenderer::Redraw(const std::string& line) {
    if (style_ == ProgressStyle::Terminal) {
        out_ << '\r' << line << "\x1b[K" << std::flush;
        lineOpen_ = true;
    }
}

void ProgressRenderer::End() {
    if (lineOpen_) {
        out_ << '\n' << std::flush;
        lineOpen_ = false;
    }
}

std::string ProgressRenderer::Bar(std::size_t filled) {
    filled = std::min(filled, kBarWidth);
    return '[' + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + ']';
}

}  // namespace host
