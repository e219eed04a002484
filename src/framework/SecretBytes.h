#pragma once
// The bytes of a secret (a channel's MD5 key) while a process holds them. They are overwritten
// before their memory goes back to the allocator, so that no freed block keeps them for a swap
// file or a core dump to find; and a process that has once held a secret makes no core dump
// for the rest of its life, as the secret may be in any copy a library made of it. Plain C++.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace platform {

// Overwrites memory that held a secret, in a way the compiler does not leave out.
void WipeMemory(void* data, std::size_t size);

// This process makes no core dump from now on, and cannot be made to by another: its dumpable
// flag is off and its core file size limit 0.
void KeepOutOfCoreDumps();

class SecretBytes {
public:
    SecretBytes() = default;
    SecretBytes(std::span<const std::uint8_t> bytes) { Assign(bytes); }     // NOLINT: implicit
    SecretBytes(const std::vector<std::uint8_t>& bytes) { Assign(bytes); }  // NOLINT: implicit
    SecretBytes(const SecretBytes& other) { Assign(other.bytes_); }
    SecretBytes(SecretBytes&& other) noexcept : bytes_(std::move(other.bytes_)) {}
    SecretBytes& operator=(const SecretBytes& other);
    SecretBytes& operator=(SecretBytes&& other) noexcept;
    ~SecretBytes() { Wipe(); }

    // Holds these bytes instead of the ones before, which are wiped.
    void Assign(std::span<const std::uint8_t> bytes);
    // Holds nothing; the bytes held are wiped.
    void Wipe();

    // Where a layer takes plain bytes (the channel's digest): the held bytes, not a copy.
    operator const std::vector<std::uint8_t>&() const { return bytes_; }  // NOLINT: implicit
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    bool empty() const { return bytes_.empty(); }
    std::size_t size() const { return bytes_.size(); }
    bool operator==(const SecretBytes& other) const { return bytes_ == other.bytes_; }
    bool operator==(const std::vector<std::uint8_t>& other) const { return bytes_ == other; }

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace platform
