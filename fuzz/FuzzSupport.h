#pragma once
// What every fuzz target shares: a check that stops the run when a property breaks (libFuzzer
// keeps the input that broke it) and scratch files for the operations that read or write
// files by path.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fuzz {

// Stops the run with the property that broke; abort() makes libFuzzer save the input.
inline void Require(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", property);
        std::abort();
    }
}

// A scratch file of this process, in the temporary folder.
inline std::string ScratchPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() /
            ("vireo-fuzz-" + std::to_string(::getpid()) + "-" + name))
        .string();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Require(out.good(), "the scratch file can be written");
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace fuzz
