// The session-script line syntax on any script text, line by line as the runner splits it:
// a line of blanks has no arguments and any other line that splits has some; arguments come
// in order, each starting at a non-blank; a bare argument is the line's own text; quoted
// arguments, quoted again, split back to the same texts; hexadecimal bytes, written out again,
// parse back to the same bytes.

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "codecs/HexBytes.h"
#include "script/ScriptSyntax.h"

namespace {

bool IsBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (c == '\n') {
            quoted += "\\n";
        } else {
            quoted += c;
        }
    }
    return quoted + '"';
}

void CheckTokens(const std::string& line, const std::vector<host::ScriptToken>& tokens) {
    // The runner's own test for a line that does nothing.
    const bool blank = line.find_first_not_of(" \t\n\v\f\r") == std::string::npos;
    fuzz::Require(blank == tokens.empty(), "only a line of blanks has no arguments");
    std::size_t end = 0;
    std::string requoted;
    for (const host::ScriptToken& token : tokens) {
        fuzz::Require(
            token.start >= end && token.start < line.size() && !IsBlank(line[token.start]),
            "arguments start in order, each at a non-blank");
        if (line[token.start] != '"') {
            fuzz::Require(!token.text.empty() &&
                              line.compare(token.start, token.text.size(), token.text) == 0,
                          "a bare argument is the line's own text");
            end = token.start + token.text.size();
        } else {
            end = token.start + 1;
        }
        requoted += Quoted(token.text) + ' ';
    }
    std::vector<host::ScriptToken> again;
    fuzz::Require(host::TokenizeScriptLine(requoted, again) && again.size() == tokens.size(),
                  "quoted arguments split again");
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        fuzz::Require(again[i].text == tokens[i].text, "quoted arguments keep their text");
    }
}

void CheckHex(const std::string& text) {
    std::vector<unsigned char> bytes;
    if (!host::ParseHexBytes(text, bytes)) {
        return;
    }
    std::size_t digits = 0;
    for (const char c : text) {
        digits += std::isxdigit(static_cast<unsigned char>(c)) != 0 ? 1 : 0;
    }
    fuzz::Require(digits == 2 * bytes.size(), "two hexadecimal digits make a byte");
    std::vector<unsigned char> again;
    fuzz::Require(
        host::ParseHexBytes(codecs::HexBytes(bytes.data(), bytes.size()), again) && again == bytes,
        "bytes written out parse back to themselves");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::string line;
    std::vector<host::ScriptToken> tokens;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        CheckHex(line);
        if (!host::TokenizeScriptLine(line, tokens)) {
            continue;
        }
        CheckTokens(line, tokens);
        // Commands read bytes from the rest of the line after one of their first arguments.
        for (std::size_t i = 0; i < tokens.size() && i < 4; ++i) {
            CheckHex(line.substr(tokens[i].start));
        }
    }
    return 0;
}
