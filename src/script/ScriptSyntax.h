#pragma once
// The syntax of a session-script line: its arguments and the hexadecimal bytes some of them
// carry. Plain C++, shared by the script runner and the node state file.

#include <cstddef>
#include <string>
#include <vector>

#include "codecs/HexBytes.h"

namespace host {

// One argument of a script line and where it starts in the line.
struct ScriptToken {
    std::string text;
    std::size_t start;
};
// Splits a line at blanks; double quotes hold blanks, with \" \\ and \n escapes inside.
// False when a quote is not closed.
bool TokenizeScriptLine(const std::string& line, std::vector<ScriptToken>& tokens);
// "00 08 FF" or "0008FF": two hex digits a byte, blanks between bytes optional.
using codecs::ParseHexBytes;

}  // namespace host
