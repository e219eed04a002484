#pragma once
// The desktop of tests and session scripts: records every call as a transcript line, answers
// Yes/No boxes and file dialogs from queues (No and cancel when a queue is empty), never sleeps,
// and keeps the PC clock where it is set. Timers run only when ticked by hand. Progress
// reports and the file dialogs' requests are kept too, outside the transcript.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "framework/Desktop.h"
#include "framework/QuoteText.h"

namespace platform {

struct RecordedMessage {
    std::string text;
    std::string caption;
    MessageButtons buttons;
    MessageIcon icon;
};

struct RecordedFileDialog {
    bool save;  // a save dialog; otherwise an open dialog
    FileDialogRequest request;
};

struct RecordedProgress {
    std::string text;
    int done;
    int total;
};

class ScriptedDesktop : public Desktop {
public:
    MessageAnswer MessageBox(const std::string& text, const std::string& caption,
                             MessageButtons buttons, MessageIcon icon) override;
    std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override;
    std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override;
    void Sleep(int milliseconds) override;
    LocalDateTime Now() override { return now_; }
    int StartTimer(int periodMs, std::function<void()> fire) override;
    void StopTimer(int handle) override;
    void Progress(const std::string& text, int done, int total) override;
    int RunModal(CDialog& dialog) override;
    int RunModal(CPropertySheet& sheet) override;

    // Answers and settings.
    void QueueAnswer(bool yes) { answers_.push_back(yes); }
    void QueueFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }
    void SetNow(const LocalDateTime& now) { now_ = now; }
    // Runs while a modal dialog or sheet is open (session scripts drive the sheet from here);
    // without one the modal loop returns at once.
    std::function<void(CPropertySheet&)> onSheetModal;
    std::function<void(CDialog&)> onDialogModal;

    // What happened.
    const std::vector<RecordedMessage>& Messages() const { return messages_; }
    std::vector<std::string> MessageTexts() const;
    const std::vector<RecordedFileDialog>& FileDialogs() const { return fileDialogs_; }
    const std::vector<RecordedProgress>& ProgressReports() const { return progress_; }
    const std::vector<int>& Sleeps() const { return sleeps_; }
    int TotalSleepMs() const;
    const std::vector<std::string>& Transcript() const { return transcript_; }
    int RunningTimers() const { return static_cast<int>(timers_.size()); }
    // The period of every timer started, in order.
    const std::vector<int>& TimerPeriods() const { return timerPeriods_; }
    // Fires every running timer once.
    void TickAll();
    void Clear();

    // Receives every transcript line as it happens, as well as keeping it.
    std::function<void(const std::string&)> onLine;
    void Record(const std::string& line);

private:
    std::deque<bool> answers_;
    std::deque<std::optional<std::string>> files_;
    std::vector<RecordedMessage> messages_;
    std::vector<RecordedFileDialog> fileDialogs_;
    std::vector<RecordedProgress> progress_;
    std::vector<int> sleeps_;
    std::vector<std::string> transcript_;
    std::map<int, std::function<void()>> timers_;
    std::vector<int> timerPeriods_;
    int nextTimer_ = 1;
    LocalDateTime now_{2026, 12, 6, 9, 5, 7};
};

}  // namespace platform
