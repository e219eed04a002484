#pragma once
// The Program ID of the node kind this plug-in serves, as eight two-digit hexadecimal bytes
// separated by single blanks (23 characters). A constant of the module, never read from the node.

#include <array>
#include <cstdint>
#include <string>

std::string GetProgramIdText();

namespace host {

// The Program ID of a node: eight bytes that name its kind, which the host tool looks up to
// find the plug-in that serves it.
using ProgramId = std::array<std::uint8_t, 8>;
// "90 56 69 72 65 6F 4B 2A".
std::string ProgramIdText(const ProgramId& id);
// Reads eight hexadecimal bytes, blanks between them optional; false for anything else.
bool ParseProgramId(const std::string& text, ProgramId& id);
// The Program ID of the heating controller node this plug-in serves.
ProgramId ControllerProgramId();

}  // namespace host
