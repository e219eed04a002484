#pragma once
// The desktop of the GUI: Qt message boxes and file dialogs, real pauses on the UI thread,
// the PC's local clock, Qt timers and a progress dialog for long operations.

#include <map>
#include <memory>
#include <string>

#include <QString>

#include "framework/Desktop.h"

class QElapsedTimer;
class QTimer;
class QProgressDialog;
class QWidget;

namespace platform {

// The progress window's text: what runs on which node, the step ("Part 7 of 12") and, once a
// step is done, the seconds left at the pace so far.
QString ProgressLabel(const std::string& title, const std::string& step, int done, int total,
                      qint64 elapsedMs);

// "Text (*.txt)|*.txt|All files (*.*)|*.*|" as a Qt name filter list.
std::string QtNameFilters(const std::string& filter);

class QtDesktop : public Desktop {
public:
    QtDesktop();
    ~QtDesktop() override;

    MessageAnswer MessageBox(const std::string& text, const std::string& caption,
                             MessageButtons buttons, MessageIcon icon) override;
    std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override;
    std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override;
    void Sleep(int milliseconds) override;
    LocalDateTime Now() override;
    int StartTimer(int periodMs, std::function<void()> fire) override;
    void StopTimer(int handle) override;
    void Progress(const std::string& text, int done, int total) override;
    int RunModal(CDialog& dialog) override;
    int RunModal(CPropertySheet& sheet) override;
    bool KeepsWindowPlacement() const override { return true; }

private:
    std::map<int, QTimer*> timers_;
    int nextTimer_ = 1;
    QProgressDialog* progress_ = nullptr;
    std::unique_ptr<QElapsedTimer> progressClock_;
    std::string progressStep_;  // the last step named: a step without a name keeps it  // since the
                                // progress window opened
};

}  // namespace platform
