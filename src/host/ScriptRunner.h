#pragma once
// Session scripts: drive the configuration sheet without a display against the simulated
// node, and print a transcript of everything the plug-in did.

#include <iosfwd>
#include <string>
#include <vector>

namespace host {

// Exit status of a script run.
inline constexpr int kScriptPassed = 0;
inline constexpr int kScriptFailed = 1;
inline constexpr int kScriptError = 2;

// Runs the script text; the transcript goes to out, script errors to err.
int RunScript(const std::string& text, std::ostream& out, std::ostream& err);
// Runs the script in a file ("-" for standard input).
int RunScriptFile(const std::string& path, std::ostream& out, std::ostream& err);

// One argument of a script line and where it starts in the line.
struct ScriptToken {
    std::string text;
    std::size_t start;
};
// Splits a line at blanks; double quotes hold blanks, with \" \\ and \n escapes inside.
// False when a quote is not closed.
bool TokenizeScriptLine(const std::string& line, std::vector<ScriptToken>& tokens);
// "00 08 FF" or "0008FF": two hex digits a byte, blanks between bytes optional.
bool ParseHexBytes(const std::string& text, std::vector<unsigned char>& bytes);

}  // namespace host
