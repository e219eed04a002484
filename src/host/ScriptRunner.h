#pragma once
// Session scripts: drive the configuration sheet without a display against the simulated
// node, and print a transcript of everything the plug-in did.

#include <iosfwd>
#include <string>
#include <vector>

#include "host/ScriptSyntax.h"

namespace host {

// Exit status of a script run.
inline constexpr int kScriptPassed = 0;
inline constexpr int kScriptFailed = 1;
inline constexpr int kScriptError = 2;

// Runs the script text; the transcript goes to out, script errors to err.
int RunScript(const std::string& text, std::ostream& out, std::ostream& err);
// Runs the script in a file ("-" for standard input).
int RunScriptFile(const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace host
