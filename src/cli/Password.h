#pragma once
// Where the service password of a command comes from, safest first in the README: a file
// (--password-file), the environment (VIREO_PASSWORD), or a question on the terminal that does
// not echo. --password stays for scripts that already give it, although it shows in `ps` and
// the shell's history.

#include <functional>
#include <optional>
#include <string>

namespace host {

struct PasswordSources {
    std::optional<std::string> option;       // --password
    std::optional<std::string> file;         // --password-file
    std::optional<std::string> environment;  // VIREO_PASSWORD
    // Asks on the terminal; empty when standard input is not a terminal.
    std::function<std::optional<std::string>()> prompt;
};

// The password from the first source given, in the order --password, --password-file,
// VIREO_PASSWORD, the prompt. Nothing, with error saying why, when the file cannot be read or
// no source is there.
std::optional<std::string> ResolvePassword(const PasswordSources& sources, std::string& error);

// The sources of this process: the options as parsed, the environment, and a prompt on the
// controlling terminal when standard input is one.
PasswordSources ProcessPasswordSources(std::optional<std::string> option,
                                       std::optional<std::string> file);

}  // namespace host
