#include "host/ConsoleDesktop.h"

#include <chrono>
#include <ctime>
#include <ostream>
#include <thread>

namespace host {
namespace {

// The download's question when a file's Program ID differs from the plug-in's.
constexpr const char* kMismatchCaption = "ProgramID does not match!";

std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n') {
            c = ' ';
        }
    }
    return text;
}

}  // namespace

ConsoleDesktop::ConsoleDesktop(std::string file, bool acceptMismatch, std::ostream& log)
    : file_(std::move(file)), acceptMismatch_(acceptMismatch), log_(log) {}

platform::MessageAnswer ConsoleDesktop::MessageBox(const std::string& text,
                                                   const std::string& caption,
                                                   platform::MessageButtons buttons,
                                                   platform::MessageIcon) {
    messages_.push_back(text);
    const std::string shown = caption.empty() ? OneLine(text) : caption + ": " + OneLine(text);
    if (buttons == platform::MessageButtons::Ok) {
        log_ << shown << '\n';
        return platform::MessageAnswer::Ok;
    }
    const bool yes = caption != kMismatchCaption || acceptMismatch_;
    log_ << shown << " " << (yes ? "yes" : "no (give --yes to download anyway)") << '\n';
    return yes ? platform::MessageAnswer::Yes : platform::MessageAnswer::No;
}

std::optional<std::string> ConsoleDesktop::OpenFileDialog(const platform::FileDialogRequest&) {
    return file_;
}

std::optional<std::string> ConsoleDesktop::SaveFileDialog(const platform::FileDialogRequest&) {
    return file_;
}

void ConsoleDesktop::Sleep(int milliseconds) {
    if (sleep) {
        sleep(milliseconds);
    } else if (milliseconds > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}

platform::LocalDateTime ConsoleDesktop::Now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
            local.tm_min,         local.tm_sec,     local.tm_wday};
}

int ConsoleDesktop::StartTimer(int, std::function<void()>) {
    return 0;
}

void ConsoleDesktop::StopTimer(int) {}

void ConsoleDesktop::Progress(const std::string& text, int done, int total) {
    if (done < total) {
        log_ << text << '\n';
    }
}

}  // namespace host
