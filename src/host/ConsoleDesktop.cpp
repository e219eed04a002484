#include "host/ConsoleDesktop.h"

#include <algorithm>
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
    : file_(std::move(file)),
      acceptMismatch_(acceptMismatch),
      log_(log),
      progress_(ProgressStyle::Lines, log) {}

platform::MessageAnswer ConsoleDesktop::MessageBox(const std::string& text,
                                                   const std::string& caption,
                                                   platform::MessageButtons buttons,
                                                   platform::MessageIcon) {
    messages_.push_back(text);
    EndProgress();
    const std::string shown = caption.empty() ? OneLine(text) : caption + ": " + OneLine(text);
    const bool quiet = progress_.Style() == ProgressStyle::Quiet;
    if (buttons == platform::MessageButtons::Ok) {
        if (!quiet) {
            log_ << shown << '\n';
        }
        return platform::MessageAnswer::Ok;
    }
    const bool yes = caption != kMismatchCaption || acceptMismatch_;
    if (quiet) {
        return yes ? platform::MessageAnswer::Yes : platform::MessageAnswer::No;
    }
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
    sleptMs_ += std::max(0, milliseconds);
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
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

int ConsoleDesktop::StartTimer(int, std::function<void()>) {
    return 0;
}

void ConsoleDesktop::StopTimer(int) {}

void ConsoleDesktop::SetProgressStyle(ProgressStyle style, std::string operation, int plannedMs) {
    progress_.SetStyle(style);
    operation_ = std::move(operation);
    plannedMs_ = plannedMs;
    sleptMs_ = 0;
}

void ConsoleDesktop::EndProgress() {
    progress_.End();
}

// Every named step is shown, the last one included; a step without a name (the download's
// closing report) keeps the last name on the terminal's line.
void ConsoleDesktop::Progress(const std::string& text, int done, int total) {
    if (!text.empty()) {
        step_ = text;
    }
    if (!text.empty()) {
        progress_.Step(text);
    }
    if (total > 0) {
        progress_.Redraw(ProgressLine(done, total));
    }
}

// The bar follows the pauses when they are known (they are nearly all of the time), else the
// steps; the step's name is padded so that the bar keeps its place.
std::string ConsoleDesktop::ProgressLine(int done, int total) const {
    constexpr std::size_t kStepWidth = 14;
    const double share = plannedMs_ > 0 ? std::min(1.0, static_cast<double>(sleptMs_) / plannedMs_)
                                        : static_cast<double>(std::clamp(done, 0, total)) / total;
    const auto filled = static_cast<std::size_t>(share * ProgressRenderer::kBarWidth);
    std::string step = step_;
    step.resize(std::max(step.size(), kStepWidth), ' ');
    std::string line = operation_ + "  " + step + "  " + ProgressRenderer::Bar(filled);
    if (plannedMs_ > 0) {
        const int leftMs = std::max(0, plannedMs_ - sleptMs_);
        line += "  " + std::to_string((leftMs + 999) / 1000) + " s left";
    }
    return line;
}

}  // namespace host
