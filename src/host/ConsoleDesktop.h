#pragma once
// The desktop of the command-line operations: the file dialogs return the file named on the
// command line, questions are answered as the command's options say, messages and progress
// go to standard error, and the node's pauses are real.

#include <iosfwd>
#include <string>
#include <vector>

#include "framework/Desktop.h"
#include "host/ProgressRenderer.h"

namespace host {

class ConsoleDesktop : public platform::Desktop {
public:
    // file: what every file dialog returns. acceptMismatch: the answer to the Program ID
    // mismatch question; every other question (overwrite, download) is answered Yes, since
    // the command itself asked for it.
    ConsoleDesktop(std::string file, bool acceptMismatch, std::ostream& log);

    platform::MessageAnswer MessageBox(const std::string& text, const std::string& caption,
                                       platform::MessageButtons buttons,
                                       platform::MessageIcon icon) override;
    std::optional<std::string> OpenFileDialog(const platform::FileDialogRequest& request) override;
    std::optional<std::string> SaveFileDialog(const platform::FileDialogRequest& request) override;
    void Sleep(int milliseconds) override;
    platform::LocalDateTime Now() override;
    int StartTimer(int periodMs, std::function<void()> fire) override;
    void StopTimer(int handle) override;
    void Progress(const std::string& text, int done, int total) override;
    // The command line opens no windows: a dialog that asks for one is closed at once.
    int RunModal(platform::CDialog&) override { return platform::IDCANCEL; }
    int RunModal(platform::CPropertySheet&) override { return platform::IDCANCEL; }

    // How the node's pauses are made; real pauses unless replaced (tests record them).
    std::function<void(int)> sleep;

    // operation names the line on a terminal; plannedMs is the sum of the pauses the operation
    // will make (0 when unknown: no seconds left are shown). Quiet also keeps the messages off.
    void SetProgressStyle(ProgressStyle style, std::string operation, int plannedMs);
    // Ends the terminal's progress line, so that what follows starts on a line of its own.
    void EndProgress();

    // The texts of the messages shown, oldest first.
    const std::vector<std::string>& Messages() const { return messages_; }

private:
    std::string ProgressLine(int done, int total) const;

    std::string file_;
    bool acceptMismatch_;
    std::ostream& log_;
    std::vector<std::string> messages_;
    ProgressRenderer progress_;
    std::string operation_;
    std::string step_;  // the last step named
    int plannedMs_ = 0;
    int sleptMs_ = 0;
};

}  // namespace host
