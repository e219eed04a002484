#pragma once
// Session scripts: drive the configuration sheet without a display against the simulated
// node, and print a transcript of everything the plug-in did.

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "script/ScriptSyntax.h"

namespace host {

// Exit status of a script run.
inline constexpr int kScriptPassed = 0;
inline constexpr int kScriptFailed = 1;
inline constexpr int kScriptError = 2;

// One command of the script language: its words ("node nv"), its arguments ("N [HEX]") and
// what it does in one line. In the arguments, [X] is optional, X... is one or more words,
// [X...] is any number of them, HEX is the rest of the line read as bytes (at least one word),
// [HEX] may be empty, and a|b is one word, a or b.
struct ScriptCommand {
    std::string_view name;
    std::string_view arguments;
    std::string_view help;
};
// Every command the runner knows, in the order the session-scripts document lists them.
std::span<const ScriptCommand> ScriptCommands();

// How the plug-in reaches the script's simulated node: in process, or served on a LON/IP channel
// at 127.0.0.1 and reached over the link (the transcript is the same).
enum class ScriptNode { InProcess, OverLink };

// Runs the script text; the transcript goes to out, script errors to err.
int RunScript(const std::string& text, std::ostream& out, std::ostream& err,
              ScriptNode reach = ScriptNode::InProcess);
// Runs the script in a file ("-" for standard input).
int RunScriptFile(const std::string& path, std::ostream& out, std::ostream& err,
                  ScriptNode reach = ScriptNode::InProcess);

}  // namespace host
