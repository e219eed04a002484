#pragma once
// A page of a property sheet: a dialog template with a tab caption. Its window is created
// the first time its tab is shown and destroyed when it is removed from the sheet or the sheet
// closes. Timer 1 runs through the desktop while the page is visible.

#include <map>
#include <string>

#include "platform/Dialog.h"

namespace platform {

class CPropertySheet;

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

    void SetTimer(int timerId, int periodMs);
    void KillTimer(int timerId);
    bool IsTimerRunning(int timerId) const;
    // One tick of a running timer, as the desktop's timer delivers it; ignored while a
    // handler works or when the timer does not run.
    void DeliverTimer(int timerId);

    // Sheet side of the lifecycle.
    void AttachToSheet(CPropertySheet* sheet) { sheet_ = sheet; }
    void CreatePageWindow(QWidget* parent);
    void DestroyPageWindow();
    void SetPageVisible(bool visible);

protected:
    void OnDestroy() override;

private:
    int captionId_;
    CPropertySheet* sheet_ = nullptr;
    bool visible_ = false;
    std::map<int, int> timers_;  // timer id -> desktop handle
};

}  // namespace platform
