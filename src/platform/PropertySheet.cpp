#include "platform/PropertySheet.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/Desktop.h"

namespace platform {
namespace {

// A tab's frame for a page window, scrolled when the page is larger than the sheet.
QWidget* AddFrame(QTabWidget* tabs, const std::string& caption) {
    auto* scroll = new QScrollArea();
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* frame = new QWidget();
    scroll->setWidget(frame);
    tabs->addTab(scroll, QString::fromUtf8(caption.c_str()));
    return frame;
}

}  // namespace

CPropertySheet::CPropertySheet(std::string caption, QWidget* parent, int selectPage)
    : caption_(std::move(caption)), parent_(parent), selectPage_(selectPage) {}

CPropertySheet::~CPropertySheet() {
    Close();
}

void CPropertySheet::AddPage(CPropertyPage* page) {
    pages_.push_back(page);
    page->AttachToSheet(this);
    if (tabs_ == nullptr) {
        frames_.push_back(nullptr);
        return;
    }
    frames_.push_back(AddFrame(tabs_, page->Caption()));
}

void CPropertySheet::RemovePage(CPropertyPage* page) {
    const int index = GetPageIndex(page);
    if (index < 0) {
        return;
    }
    pages_.erase(pages_.begin() + index);
    frames_.erase(frames_.begin() + index);
    if (page == active_) {
        page->SetPageVisible(false);
        active_ = nullptr;
    }
    // Removing a page from the sheet destroys its window; adding it again creates it anew.
    page->DestroyPageWindow();
    if (tabs_ != nullptr) {
        switching_ = true;
        QWidget* tab = tabs_->widget(index);
        tabs_->removeTab(index);
        switching_ = false;
        delete tab;  // the frame with it
        if (active_ == nullptr && !pages_.empty()) {
            Activate(tabs_->currentIndex());
        }
    }
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
    return index >= 0 && index < GetPageCount() ? pages_[index] : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const {
    const auto it = std::find(pages_.begin(), pages_.end(), page);
    return it == pages_.end() ? -1 : static_cast<int>(it - pages_.begin());
}

int CPropertySheet::GetActiveIndex() const {
    return GetPageIndex(active_);
}

bool CPropertySheet::SetActivePage(int index) {
    if (index < 0 || index >= GetPageCount()) {
        return false;
    }
    if (tabs_ == nullptr) {
        selectPage_ = index;
        return true;
    }
    if (tabs_->currentIndex() != index) {
        tabs_->setCurrentIndex(index);  // currentChanged activates it
    }
    Activate(index);
    return true;
}

std::vector<std::string> CPropertySheet::TabCaptions() const {
    std::vector<std::string> captions;
    for (const CPropertyPage* page : pages_) {
        captions.push_back(page->Caption());
    }
    return captions;
}

void CPropertySheet::Activate(int index) {
    CPropertyPage* page = GetPage(index);
    if (page == nullptr || page == active_ || tabs_ == nullptr) {
        return;
    }
    if (active_ != nullptr) {
        active_->SetPageVisible(false);
    }
    active_ = page;
    page->CreatePageWindow(frames_[index]);
    page->SetPageVisible(true);
}

void CPropertySheet::Create() {
    if (window_ != nullptr) {
        return;
    }
    window_ = new QDialog(parent_);
    window_->setWindowTitle(QString::fromUtf8(caption_.c_str()));
    // Pages are built when first shown: start at a size that holds the largest of them.
    window_->resize(860, 660);
    auto* layout = new QVBoxLayout(window_);
    tabs_ = new QTabWidget(window_);
    tabs_->setUsesScrollButtons(true);
    tabs_->setElideMode(Qt::ElideNone);
    layout->addWidget(tabs_);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    const struct {
        int id;
        const char* text;
    } kButtons[] = {{IDOK, "OK"}, {IDCANCEL, "Cancel"}, {ID_APPLY_NOW, "&Apply"}};
    for (const auto& b : kButtons) {
        auto* button = new QPushButton(QString::fromUtf8(b.text), window_);
        button->setAutoDefault(false);
        buttons->addWidget(button);
        AddControl(b.id, ControlKind::PushButton, button);
    }
    EnableDlgItem(ID_APPLY_NOW, false);
    layout->addLayout(buttons);
    OnClicked(IDOK, [this] { EndSheet(IDOK); });
    OnClicked(IDCANCEL, [this] { EndSheet(IDCANCEL); });
    // Escape and the close box cancel the sheet.
    QObject::connect(window_, &QDialog::rejected, window_, [this] {
        for (CPropertyPage* page : pages_) {
            if (page->IsWindowCreated()) {
                page->OnReset();
            }
        }
        result_ = IDCANCEL;
    });

    for (std::size_t i = 0; i < pages_.size(); ++i) {
        frames_[i] = AddFrame(tabs_, pages_[i]->Caption());
    }
    QObject::connect(tabs_, &QTabWidget::currentChanged, tabs_, [this](int index) {
        if (!switching_) {
            Activate(index);
        }
    });
    const int first = std::clamp(selectPage_, 0, std::max(0, GetPageCount() - 1));
    switching_ = true;
    tabs_->setCurrentIndex(first);
    switching_ = false;
    selectPage_ = first;
    OnInitDialog();
    // The framework's initialisation shows the first page; a derived OnInitDialog that did
    // not call the base still gets it.
    if (active_ == nullptr) {
        Activate(tabs_->currentIndex());
    }
}

BOOL CPropertySheet::OnInitDialog() {
    if (active_ == nullptr && tabs_ != nullptr) {
        Activate(tabs_->currentIndex());
    }
    return TRUE;
}

void CPropertySheet::EndSheet(int result) {
    if (result != IDOK) {
        for (CPropertyPage* page : pages_) {
            if (page->IsWindowCreated()) {
                page->OnReset();
            }
        }
    }
    result_ = result;
    if (window_ != nullptr && window_->isVisible()) {
        window_->done(result);
    }
}

int CPropertySheet::ExecModal() {
    if (window_ == nullptr) {
        return result_;
    }
    window_->exec();
    return result_;
}

int CPropertySheet::DoModal() {
    result_ = IDCANCEL;
    Create();
    Desktop::Current().RunModal(*this);
    Close();
    return result_;
}

void CPropertySheet::Close() {
    if (active_ != nullptr) {
        active_->SetPageVisible(false);
        active_ = nullptr;
    }
    for (CPropertyPage* page : pages_) {
        page->DestroyPageWindow();
    }
    ClearControls();
    if (window_ != nullptr) {
        tabs_ = nullptr;
        delete window_;
        window_ = nullptr;
        std::fill(frames_.begin(), frames_.end(), nullptr);
    }
}

}  // namespace platform
