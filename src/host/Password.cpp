#include "host/Password.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>

#include <termios.h>
#include <unistd.h>

namespace host {
namespace {

// The first line of the file, without its line end.
std::optional<std::string> ReadPasswordFile(const std::string& path, std::string& error) {
    std::ifstream in(path);
    if (!in.is_open()) {
        error = "cannot read the password file " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

// Reads one line from standard input with the terminal's echo off, and restores it.
std::optional<std::string> PromptWithoutEcho() {
    std::cerr << "Service password: " << std::flush;
    termios saved{};
    const bool terminal = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    }
    std::cerr << '\n';
    if (!read) {
        return std::nullopt;
    }
    return line;
}

}  // namespace

std::optional<std::string> ResolvePassword(const PasswordSources& sources, std::string& error) {
    if (sources.option) {
        return sources.option;
    }
    if (sources.file) {
        return ReadPasswordFile(*sources.file, error);
    }
    if (sources.environment) {
        return sources.environment;
    }
    if (sources.prompt) {
        if (auto answer = sources.prompt()) {
            return answer;
        }
        error = "no service password was given";
        return std::nullopt;
    }
    error =
        "the service password is needed: give --password-file FILE, set VIREO_PASSWORD, or run "
        "on a terminal to be asked";
    return std::nullopt;
}

PasswordSources ProcessPasswordSources(std::optional<std::string> option,
                                       std::optional<std::string> file) {
    PasswordSources sources{std::move(option), std::move(file), std::nullopt, nullptr};
    if (const char* value = std::getenv("VIREO_PASSWORD"); value != nullptr) {
        sources.environment = value;
    }
    if (isatty(STDIN_FILENO) != 0) {
        sources.prompt = PromptWithoutEcho;
    }
    return sources;
}

}  // namespace host
