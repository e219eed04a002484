#pragma once
// Bytes as a technician reads them in transcripts, listings and state files: two upper-case
// hexadecimal digits a byte, one blank between bytes ("00 08 FF").

#include <cstddef>
#include <cstdint>
#include <string>

namespace codecs {

std::string HexBytes(const std::uint8_t* bytes, std::size_t count);

}  // namespace codecs
