#pragma once
// Files for the settings tests, in a fresh directory under the test program's temp directory.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "node/ProgramId.h"
#include "settings/FactoryDefaults.h"
#include "settings/SettingsFile.h"

namespace settings_test {

// A new, empty directory for one test.
inline std::filesystem::path FreshDirectory() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "vireo-settings" /
                                (std::string(info->test_suite_name()) + "." + info->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// "\n" line ends as they are on disk.
inline std::string CrLf(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

// The factory configuration as a settings file ("\n" line ends), exported on 6/12-2026.
inline std::string FactoryFileText(std::string_view nodeName = "Boiler1") {
    settings::SettingsFile::Contents contents;
    contents.programId = GetProgramIdText();
    contents.nodeName = nodeName;
    contents.clock = {2026, 12, 6, 9, 5, 7};
    const auto blocks = settings::SettingsFile::Blocks();
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (blocks[i].part != 0) {
            const auto part = settings::FactoryPartImage(blocks[i].part);
            contents.values[i].emplace(part.begin(), part.end());
        } else {
            contents.values[i] = settings::FactoryVariableImage(blocks[i].hostIndex);
        }
    }
    return settings::SettingsFile::Compose(contents);
}

}  // namespace settings_test
