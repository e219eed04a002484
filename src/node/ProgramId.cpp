#include "node/ProgramId.h"

#include <algorithm>
#include <vector>

#include "codecs/HexBytes.h"

std::string GetProgramIdText() {
    return "90 56 69 72 65 6F 4B 2A";
}

namespace host {

std::string ProgramIdText(const ProgramId& id) {
    return codecs::HexBytes(id.data(), id.size());
}

bool ParseProgramId(const std::string& text, ProgramId& id) {
    // Eight bytes, with only spaces between them.
    std::vector<std::uint8_t> bytes;
    if (!codecs::ParseHexBytes(text, bytes, " ") || bytes.size() != id.size()) {
        return false;
    }
    std::copy(bytes.begin(), bytes.end(), id.begin());
    return true;
}

ProgramId ControllerProgramId() {
    ProgramId id{};
    ParseProgramId(GetProgramIdText(), id);
    return id;
}

}  // namespace host
