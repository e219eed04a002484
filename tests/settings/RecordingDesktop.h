#pragma once
// A desktop for the settings tests: records every message box, file dialog, pause and progress
// report, answers Yes/No boxes from a queue (Yes when it is empty) and never sleeps.

#include <deque>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "platform/Desktop.h"

namespace settings_test {

class RecordingDesktop final : public platform::Desktop {
public:
    struct Box {
        std::string text;
        std::string caption;
        platform::MessageButtons buttons;
    };
    struct ProgressReport {
        std::string text;
        int done;
        int total;
    };

    // ---- scripted answers ----
    std::deque<platform::MessageAnswer> answers;
    std::optional<std::string> openPath;
    std::optional<std::string> savePath;
    platform::LocalDateTime now{2026, 12, 6, 9, 5, 7, 0};

    // ---- what happened ----
    std::vector<Box> boxes;
    std::vector<platform::FileDialogRequest> openRequests;
    std::vector<platform::FileDialogRequest> saveRequests;
    std::vector<int> sleeps;
    std::vector<ProgressReport> progress;

    long TotalSleep() const { return std::accumulate(sleeps.begin(), sleeps.end(), 0L); }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Box& box : boxes) {
            texts.push_back(box.text);
        }
        return texts;
    }

    platform::MessageAnswer MessageBox(const std::string& text, const std::string& caption,
                                       platform::MessageButtons buttons,
                                       platform::MessageIcon) override {
        boxes.push_back({text, caption, buttons});
        if (buttons == platform::MessageButtons::Ok) {
            return platform::MessageAnswer::Ok;
        }
        if (answers.empty()) {
            return platform::MessageAnswer::Yes;
        }
        const platform::MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<std::string> OpenFileDialog(const platform::FileDialogRequest& r) override {
        openRequests.push_back(r);
        return openPath;
    }
    std::optional<std::string> SaveFileDialog(const platform::FileDialogRequest& r) override {
        saveRequests.push_back(r);
        return savePath;
    }
    void Sleep(int milliseconds) override { sleeps.push_back(milliseconds); }
    platform::LocalDateTime Now() override { return now; }
    int StartTimer(int, std::function<void()>) override { return 0; }
    void StopTimer(int) override {}
    int RunModal(platform::CDialog&) override { return platform::IDCANCEL; }
    int RunModal(platform::CPropertySheet&) override { return platform::IDCANCEL; }
    void Progress(const std::string& text, int done, int total) override {
        progress.push_back({text, done, total});
    }
};

}  // namespace settings_test
