#include "settings/FactoryDefaults.h"

#include <algorithm>

#include "settings/SettingsFile.h"

namespace settings {
namespace {

constexpr std::array<FactoryLine, 7> kVariableLines = {{
    {nv::kTemp1PlugIn, "2, 64336, 2000, 0, 0, 0, 7000, 3500, 0, 0, 0, 500, 3300, 500, 7000, 5500"},
    {nv::kTemp2PlugIn, "2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3300, 500, 7000, 5500"},
    {nv::kSwitchExt1, "255"},
    {nv::kSwitchExt2, "255"},
    {nv::kTimePump3, "300"},
    {nv::kCalcValve1, "4, 0, 0, 0"},
    {nv::kCalcValve2, "4, 0, 0, 0"},
}};

constexpr std::string_view kAllZero = "0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0";

constexpr std::array<std::string_view, nv::kPartCount> kPartLines = {
    "0, 216, 216, 80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2",
    "0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 400, 800, 400, 800, 0, 0",
    "0, 2000, 5, 2000, 5, 1500, 5, 700, 5, 700, 5, 65336, 3000, 200, 0, 0",
    "0, 1500, 1500, 2800, 200, 5, 8000, 15, 5, 0, 0, 0, 0, 0, 0, 0",
    "0, 1800, 300, 1800, 300, 1800, 300, 1800, 300, 0, 0, 0, 0, 0, 0, 0",
    "0, 0, 10000, 0, 2000, 2000, 50, 50, 50, 50, 0, 0, 0, 0, 0, 0",
    "0, 168, 168, 168, 168, 168, 168, 168, 168, 168, 0, 0, 0, 0, 0, 0",
    "0, 100, 60, 5, 100, 60, 5, 100, 60, 5, 100, 60, 5, 0, 0, 0",
    kAllZero,
    kAllZero,
    kAllZero,
    kAllZero,
};

}  // namespace

std::span<const FactoryLine> FactoryVariableLines() {
    return kVariableLines;
}

std::string_view FactoryPartLine(int part) {
    if (part < nv::kFirstPart || part > nv::kPartCount) {
        return {};
    }
    return kPartLines[static_cast<std::size_t>(part - nv::kFirstPart)];
}

std::vector<std::uint8_t> FactoryVariableImage(int hostIndex) {
    const auto it =
        std::find_if(kVariableLines.begin(), kVariableLines.end(),
                     [hostIndex](const FactoryLine& l) { return l.hostIndex == hostIndex; });
    const nv::Variable* variable = nv::Find(hostIndex);
    if (it == kVariableLines.end() || variable == nullptr) {
        return {};
    }
    return ParseValueLine(variable->fileKind, it->line);
}

std::array<std::uint8_t, nv::kPartSize> FactoryPartImage(int part) {
    std::array<std::uint8_t, nv::kPartSize> image{};
    const std::string_view line = FactoryPartLine(part);
    if (!line.empty()) {
        const std::vector<std::uint8_t> parsed = ParseValueLine(nv::FileKind::StrInt, line);
        std::copy_n(parsed.begin(), image.size(), image.begin());
    }
    return image;
}

}  // namespace settings
