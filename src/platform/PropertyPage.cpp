#include "platform/PropertyPage.h"

#include <QWidget>

#include "framework/Desktop.h"
#include "platform/PropertySheet.h"
#include "platform/Strings.h"

namespace platform {

CPropertyPage::CPropertyPage(int templateId, int captionId)
    : CDialog(templateId), captionId_(captionId) {}

CPropertyPage::~CPropertyPage() {
    DestroyPageWindow();
    if (sheet_ != nullptr && sheet_->GetPageIndex(this) >= 0) {
        sheet_->RemovePage(this);
    }
}

std::string CPropertyPage::Caption() const {
    return captionId_ == 0 ? std::string() : LoadString(captionId_);
}

void CPropertyPage::OnShowWindow(BOOL) {}

void CPropertyPage::OnTimer(int) {}

void CPropertyPage::SetTimer(int timerId, int periodMs) {
    KillTimer(timerId);
    timers_[timerId] =
        Desktop::Current().StartTimer(periodMs, [this, timerId] { DeliverTimer(timerId); });
}

void CPropertyPage::KillTimer(int timerId) {
    const auto it = timers_.find(timerId);
    if (it == timers_.end()) {
        return;
    }
    Desktop::Current().StopTimer(it->second);
    timers_.erase(it);
}

bool CPropertyPage::IsTimerRunning(int timerId) const {
    return timers_.find(timerId) != timers_.end();
}

void CPropertyPage::DeliverTimer(int timerId) {
    // While a handler works the page runs no timer; ticks that fall into it are dropped.
    if (IsBusy() || !IsTimerRunning(timerId) || !IsWindowCreated()) {
        return;
    }
    const HandlerScope scope(*this);
    RunGuarded([&] { OnTimer(timerId); });
}

void CPropertyPage::CreatePageWindow(QWidget* parent, QWidget* buttonBar) {
    if (IsWindowCreated()) {
        return;
    }
    CreateInto(parent, buttonBar);
    const HandlerScope scope(*this);
    OnInitDialog();
}

void CPropertyPage::DestroyPageWindow() {
    if (visible_) {
        SetPageVisible(false);
    }
    DestroyWindow();
}

void CPropertyPage::OnDestroy() {
    // A destroyed window has no timers.
    while (!timers_.empty()) {
        KillTimer(timers_.begin()->first);
    }
}

void CPropertyPage::OnEditMarksChanged() {
    if (sheet_ != nullptr) {
        sheet_->UpdateEntry(this);
    }
}

void CPropertyPage::SetPageVisible(bool visible) {
    if (visible_ == visible || !IsWindowCreated()) {
        return;
    }
    visible_ = visible;
    const HandlerScope scope(*this);
    OnShowWindow(visible ? TRUE : FALSE);
}

}  // namespace platform
