#include "settings/SettingsSupport.h"

#include "framework/SafeFile.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "codecs/NumericCodec.h"
#include "framework/Desktop.h"
#include "framework/XdgPaths.h"
#include "node/NodeVariableMap.h"
#include "settings/SettingsTexts.h"

namespace settings {
namespace {

constexpr auto kNodeNameLimit = static_cast<std::size_t>(nv::kNodeNameKept);

}  // namespace

std::optional<std::string> ReadNodeName(const NodeLink& link, int bufferLength) {
    // The host fills at most bufferLength bytes; the buffer is larger and zeroed so that a name
    // without a terminating zero still ends.
    std::array<std::uint8_t, 64> buffer{};
    const int length = std::clamp(bufferLength, 0, static_cast<int>(buffer.size()));
    if (!link.GetNodeName(buffer.data(), length)) {
        return std::nullopt;
    }
    const auto first = buffer.begin();
    const auto limit = first + static_cast<std::ptrdiff_t>(kNodeNameLimit);
    const auto end = std::find(first, limit, std::uint8_t{0});
    return std::string(first, end);
}

std::string DefaultFileName(std::string_view nodeName) {
    std::string name(nodeName);
    std::replace(name.begin(), name.end(), '/', '_');
    std::string path = platform::HomeDirectory();
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    path += name;
    path += ".txt";
    return path;
}

bool SelectPartChecked(const NodeLink& link, platform::Desktop& desktop, int part) {
    return PartWindow(link, desktop, kPartPauseMs).SelectPart(part);
}

base::Result<std::string> ReadSettingsFile(const std::string& path) {
    std::string text;
    if (std::string problem = platform::ReadWholeFile(path, text); !problem.empty()) {
        return base::Problem(std::move(problem));
    }
    return text;
}

platform::FileDialogRequest SettingsFileRequest(const std::string& initialName) {
    return {initialName, std::string(kFileFilter), std::string(kDefaultExtension)};
}

std::string FormatCount(int count) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.0f", static_cast<double>(count));
    return text.data();
}

std::string PartProgressText(int part) {
    return "Part " + std::to_string(part) + " of " + std::to_string(nv::kPartCount);
}

}  // namespace settings
