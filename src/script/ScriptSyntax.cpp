#include "script/ScriptSyntax.h"

#include <cctype>

namespace host {

bool TokenizeScriptLine(const std::string& line, std::vector<ScriptToken>& tokens) {
    tokens.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        if (std::isspace(static_cast<unsigned char>(line[i]))) {
            ++i;
            continue;
        }
        ScriptToken token{"", i};
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < line.size()) {
                    const char e = line[i++];
                    token.text += e == 'n' ? '\n' : e;
                } else {
                    token.text += c;
                }
            }
            if (!closed) {
                return false;
            }
        } else {
            while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) {
                token.text += line[i++];
            }
        }
        tokens.push_back(token);
    }
    return true;
}

}  // namespace host
