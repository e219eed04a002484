#pragma once
// A page of a property sheet: a dialog template with a tab caption. Its window is created
// the first time its tab is shown and destroyed when it is removed from the sheet or the sheet
// closes. Timer 1 runs through the desktop while the page is visible.

#include <map>
#include <string>

#include "platform/Dialog.h"

namespace platform {

class CPropertySheet;

// What the sheet's keys and its leaving prompt ask of the shown page.
enum class PageCommand { Read, Write };

class CPropertyPage : public CDialog {
public:
    // captionId 0: the page has no caption string of its own.
    CPropertyPage(int templateId, int captionId);
    ~CPropertyPage() override;

    std::string Caption() const;
    CPropertySheet* Sheet() const { return sheet_; }
    bool IsPageVisible() const { return visible_; }

    // Window messages, dispatched by the sheet.
    virtual void OnShowWindow(BOOL show);
    virtual void OnTimer(int timerId);
    // The page-reset handler: run when the sheet is cancelled (Escape or close box).
    virtual void OnReset() {}
    // Runs the page's Read or Write as a click on its button would; false when the page has
    // no such button in reach (none, hidden or disabled).
    virtual bool RunCommand(PageCommand) { return false; }

    void SetTimer(int timerId, int periodMs);
    void KillTimer(int timerId);
    bool IsTimerRunning(int timerId) const;
    // One tick of a running timer, as the desktop's timer delivers it; ignored while a
    // handler works or when the timer does not run.
    void DeliverTimer(int timerId);

    // Sheet side of the lifecycle.
    void AttachToSheet(CPropertySheet* sheet) { sheet_ = sheet; }
    // buttonBar: where the page's Read and Write go, outside the page's scrolled area; null
    // keeps them in the page.
    void CreatePageWindow(QWidget* parent, QWidget* buttonBar = nullptr);
    void DestroyPageWindow();
    void SetPageVisible(bool visible);

protected:
    void OnDestroy() override;
    // The sheet marks the page's entry while the page holds edits not written.
    void OnEditMarksChanged() override;

private:
    int captionId_;
    CPropertySheet* sheet_ = nullptr;
    bool visible_ = false;
    std::map<int, int> timers_;  // timer id -> desktop handle
};

}  // namespace platform
