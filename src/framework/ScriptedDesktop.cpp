#include "framework/ScriptedDesktop.h"

#include <numeric>

namespace platform {

void ScriptedDesktop::Record(const std::string& line) {
    transcript_.push_back(line);
    if (onLine) {
        onLine(line);
    }
}

MessageAnswer ScriptedDesktop::MessageBox(const std::string& text, const std::string& caption,
                                          MessageButtons buttons, MessageIcon icon) {
    messages_.push_back({text, caption, buttons, icon});
    std::string line = "MessageBox " + QuoteText(text) + " " + QuoteText(caption);
    if (buttons == MessageButtons::Ok) {
        Record(line + " OK");
        return MessageAnswer::Ok;
    }
    bool yes = false;
    if (!answers_.empty()) {
        yes = answers_.front();
        answers_.pop_front();
    }
    Record(line + " YESNO -> " + (yes ? "yes" : "no"));
    return yes ? MessageAnswer::Yes : MessageAnswer::No;
}

namespace {

std::optional<std::string> NextFile(std::deque<std::optional<std::string>>& files) {
    if (files.empty()) {
        return std::nullopt;
    }
    auto next = files.front();
    files.pop_front();
    return next;
}

std::string FileLine(const char* kind, const FileDialogRequest& request,
                     const std::optional<std::string>& result) {
    return std::string("FileDialog ") + kind + " " + QuoteText(request.initialName) + " -> " +
           (result ? QuoteText(*result) : std::string("cancel"));
}

}  // namespace

std::vector<std::string> ScriptedDesktop::MessageTexts() const {
    std::vector<std::string> texts;
    for (const RecordedMessage& message : messages_) {
        texts.push_back(message.text);
    }
    return texts;
}

std::optional<std::string> ScriptedDesktop::OpenFileDialog(const FileDialogRequest& request) {
    fileDialogs_.push_back({false, request});
    auto result = NextFile(files_);
    Record(FileLine("open", request, result));
    return result;
}

std::optional<std::string> ScriptedDesktop::SaveFileDialog(const FileDialogRequest& request) {
    fileDialogs_.push_back({true, request});
    auto result = NextFile(files_);
    Record(FileLine("save", request, result));
    return result;
}

void ScriptedDesktop::Sleep(int milliseconds) {
    sleeps_.push_back(milliseconds);
    Record("Sleep " + std::to_string(milliseconds));
}

int ScriptedDesktop::TotalSleepMs() const {
    return std::accumulate(sleeps_.begin(), sleeps_.end(), 0);
}

int ScriptedDesktop::StartTimer(int periodMs, std::function<void()> fire) {
    timerPeriods_.push_back(periodMs);
    const int handle = nextTimer_++;
    timers_[handle] = std::move(fire);
    return handle;
}

void ScriptedDesktop::StopTimer(int handle) {
    timers_.erase(handle);
}

void ScriptedDesktop::TickAll() {
    // Copy first: a tick may stop or start timers.
    auto timers = timers_;
    for (auto& [handle, fire] : timers) {
        if (timers_.count(handle) != 0) {
            fire();
        }
    }
}

void ScriptedDesktop::Progress(const std::string& text, int done, int total) {
    progress_.push_back({text, done, total});
}

int ScriptedDesktop::RunModal(CDialog& dialog) {
    if (onDialogModal) {
        onDialogModal(dialog);
    }
    return IDOK;
}

int ScriptedDesktop::RunModal(CPropertySheet& sheet) {
    if (onSheetModal) {
        onSheetModal(sheet);
    }
    return IDOK;
}

void ScriptedDesktop::Clear() {
    messages_.clear();
    fileDialogs_.clear();
    progress_.clear();
    sleeps_.clear();
    timerPeriods_.clear();
    transcript_.clear();
}

}  // namespace platform
