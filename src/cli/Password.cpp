#include "cli/Password.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>

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

// The terminal's settings while the prompt has its echo off, and what the signals that end a
// prompt did before it: a signal puts the echo back before it takes its course.
termios g_echoing{};
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
struct sigaction g_before[std::size(kEndingSignals)]{};

void RestoreEchoAndPassOn(int signal) {
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_echoing);
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
        if (kEndingSignals[i] == signal) {
            sigaction(signal, &g_before[i], nullptr);
        }
    }
    raise(signal);  // taken as before once this handler returns
}

// Reads one line from standard input with the terminal's echo off, and restores it, also
// when a signal ends the prompt.
std::optional<std::string> PromptWithoutEcho() {
    const bool terminal = tcgetattr(STDIN_FILENO, &g_echoing) == 0;
    if (terminal) {
        struct sigaction restore {};
        restore.sa_handler = RestoreEchoAndPassOn;
        sigemptyset(&restore.sa_mask);
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
            sigaction(kEndingSignals[i], &restore, &g_before[i]);
        }
        termios quiet = g_echoing;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    // Asked once the echo is off: nothing typed after the question shows.
    std::cerr << "Service password: " << std::flush;
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_echoing);
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
            sigaction(kEndingSignals[i], &g_before[i], nullptr);
        }
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
