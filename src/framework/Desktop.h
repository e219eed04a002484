#pragma once
// The one door to everything that blocks, waits or asks the user: message boxes, file
// dialogs, pauses, the PC's local date and time, and page timers. The GUI runs on the Qt
// implementation; tests and session scripts run on a scripted one that records every call,
// answers from queues and never sleeps. Plain C++: the settings-file logic uses it without Qt.

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "framework/DateTime.h"

namespace platform {

class CDialog;
class CPropertySheet;

// Results of a modal dialog or sheet.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Information, Exclamation, Error, Question };
enum class MessageAnswer { Ok, Yes, No };

// The PC's local date and time, as the runtime's date and time texts give it.
using LocalDateTime = platform::DateTime;

struct FileDialogRequest {
    std::string initialName;       // the file name the dialog starts with
    std::string filter;            // "Text (*.txt)|*.txt|All files (*.*)|*.*|"
    std::string defaultExtension;  // "*.txt"
};

class Desktop {
public:
    virtual ~Desktop() = default;

    virtual MessageAnswer MessageBox(const std::string& text, const std::string& caption,
                                     MessageButtons buttons, MessageIcon icon) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) = 0;
    // Blocks the UI thread for the given milliseconds (the node's fixed pauses).
    virtual void Sleep(int milliseconds) = 0;
    virtual LocalDateTime Now() = 0;

    // Page timers: fire is called every periodMs until the timer is stopped.
    virtual int StartTimer(int periodMs, std::function<void()> fire) = 0;
    virtual void StopTimer(int handle) = 0;

    // Shows how far a long operation is ("Part 7 of 12"); done == total ends it.
    virtual void Progress(const std::string& text, int done, int total) = 0;
    // What the coming progress belongs to ("Export of Boiler house"), for a desktop that names
    // it in its progress window; empty when nothing is named.
    void SetProgressTitle(std::string title) { progressTitle_ = std::move(title); }
    const std::string& ProgressTitle() const { return progressTitle_; }

    // The modal loop of a dialog or property sheet; returns when it has been ended. The GUI
    // runs Qt's loop; session scripts and screenshots drive the open sheet themselves.
    virtual int RunModal(CDialog& dialog) = 0;
    virtual int RunModal(CPropertySheet& sheet) = 0;

    // Whether windows keep their size and place in the user's settings (the GUI only: tests
    // and scripts never write them).
    virtual bool KeepsWindowPlacement() const { return false; }

    // What the host knows of the node and the plug-in cannot ("Simulated node: PATH"), shown
    // on the sheet's status line; empty when the host says nothing.
    void SetNodeNote(std::string note) { nodeNote_ = std::move(note); }
    const std::string& NodeNote() const { return nodeNote_; }

    // The desktop the plug-in talks to. The host sets it before creating the control.
    static Desktop& Current();
    static void SetCurrent(Desktop* desktop);
    // The current desktop, or null when the host has set none.
    static Desktop* Installed();

    // Convenience: an OK message box without icon.
    void Message(const std::string& text, const std::string& caption = "") {
        MessageBox(text, caption, MessageButtons::Ok, MessageIcon::None);
    }

private:
    std::string nodeNote_;
    std::string progressTitle_;
};

}  // namespace platform
