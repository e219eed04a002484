// The registry file's text on any bytes: a text that reads writes, what is written reads back
// into the same tree and writes the very same text again, and a copy of the tree equals it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "framework/Registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::RegistryKey root;
    if (!platform::ParseRegistry(std::string_view(reinterpret_cast<const char*>(data), size), root)
             .empty()) {
        fuzz::Require(root.Empty(), "a text that does not read leaves the tree empty");
        return 0;
    }
    const std::string text = platform::FormatRegistry(root);
    platform::RegistryKey reread;
    fuzz::Require(platform::ParseRegistry(text, reread).empty(), "a written registry reads");
    fuzz::Require(reread == root, "a written registry reads as it was");
    fuzz::Require(platform::FormatRegistry(reread) == text, "a reread registry writes the same");
    const platform::RegistryKey copy = root;
    fuzz::Require(copy == root, "a copy equals its tree");
    return 0;
}
