#include "framework/SecretBytes.h"

#include <sys/prctl.h>
#include <sys/resource.h>

#include <cstring>

namespace platform {

void WipeMemory(void* data, std::size_t size) {
    if (size != 0) {
        ::explicit_bzero(data, size);
    }
}

void KeepOutOfCoreDumps() {
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    const struct rlimit none { 0, 0 };
    ::setrlimit(RLIMIT_CORE, &none);
}

SecretBytes& SecretBytes::operator=(const SecretBytes& other) {
    if (this != &other) {
        Assign(other.bytes_);
    }
    return *this;
}

SecretBytes& SecretBytes::operator=(SecretBytes&& other) noexcept {
    if (this != &other) {
        Wipe();
        bytes_ = std::move(other.bytes_);
    }
    return *this;
}

void SecretBytes::Assign(std::span<const std::uint8_t> bytes) {
    if (!bytes.empty()) {
        KeepOutOfCoreDumps();
    }
    // Wiped first: a larger secret would move to a new block and free the old one as it is.
    Wipe();
    bytes_.assign(bytes.begin(), bytes.end());
}

void SecretBytes::Wipe() {
    WipeMemory(bytes_.data(), bytes_.size());
    bytes_.clear();
}

}  // namespace platform
