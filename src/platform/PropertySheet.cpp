#include "platform/PropertySheet.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "framework/Desktop.h"

namespace platform {
namespace {

// The page list asks for the width of its longest caption, marked and in bold, and gives it up
// when the window is narrow.
class PageListWidget : public QListWidget {
public:
    using QListWidget::QListWidget;
    int fit = 0;
    QSize sizeHint() const override { return {fit, QListWidget::sizeHint().height()}; }
};

// The sheet's window: Escape and the close box leave only when the sheet agrees.
class SheetWindow : public QDialog {
public:
    SheetWindow(QWidget* parent, std::function<bool()> mayLeave)
        : QDialog(parent), mayLeave_(std::move(mayLeave)) {}
    void reject() override {
        if (mayLeave_()) {
            QDialog::reject();
        }
    }

private:
    std::function<bool()> mayLeave_;
};

const char* const kUnwrittenMark = " *";

}  // namespace

CPropertySheet::CPropertySheet(std::string caption, QWidget* parent, int selectPage)
    : caption_(std::move(caption)), parent_(parent), selectPage_(selectPage) {}

CPropertySheet::~CPropertySheet() {
    Close();
}

void CPropertySheet::AddPage(CPropertyPage* page) {
    pages_.push_back(page);
    page->AttachToSheet(this);
    frames_.push_back(nullptr);
    bars_.push_back(nullptr);
    if (tabs_ == nullptr) {
        return;
    }
    AddFrame(pages_.size() - 1);
    AddEntry(GetPageCount() - 1);
}

// A tab's frame for a page window, scrolled when the page is larger than the sheet, above the
// row of the page's Read and Write, which is never scrolled away.
void CPropertySheet::AddFrame(std::size_t index) {
    auto* tab = new QWidget();
    auto* column = new QVBoxLayout(tab);
    column->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(tab);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* frame = new QWidget();
    scroll->setWidget(frame);
    column->addWidget(scroll, 1);
    auto* bar = new QWidget(tab);
    bar->setObjectName(QStringLiteral("pageButtons"));
    auto* row = new QHBoxLayout(bar);
    row->addStretch(1);
    column->addWidget(bar);
    tabs_->insertTab(static_cast<int>(index), tab,
                     QString::fromUtf8(pages_[index]->Caption().c_str()));
    frames_[index] = frame;
    bars_[index] = bar;
}

void CPropertySheet::AddEntry(int index) {
    if (list_ == nullptr) {
        return;
    }
    const QSignalBlocker block(list_);
    list_->insertItem(index,
                      QString::fromStdString(pages_[static_cast<std::size_t>(index)]->Caption()));
    FitListWidth();
    SyncList();
}

// The list is as wide as its longest caption, marked and in bold, room for a scroll bar
// included, so the page keeps the rest of the window; a narrow window narrows the list first.
void CPropertySheet::FitListWidth() {
    QFont bold = list_->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    int widest = list_->sizeHintForColumn(0);
    for (const CPropertyPage* page : pages_) {
        widest = std::max(widest, metrics.horizontalAdvance(
                                      QString::fromStdString(page->Caption() + kUnwrittenMark)));
    }
    const int scrollBar = list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int fit = widest + 2 * list_->frameWidth() + scrollBar + 12;
    static_cast<PageListWidget*>(list_)->fit = fit;
    list_->setMaximumWidth(fit);
    list_->setMinimumWidth(std::min(fit, 90));
    list_->updateGeometry();
}

std::vector<CPropertyPage*> CPropertySheet::PagesWithUnwrittenEdits() const {
    std::vector<CPropertyPage*> pages;
    for (CPropertyPage* page : pages_) {
        if (page->IsWindowCreated() && page->HasUnwrittenEdits()) {
            pages.push_back(page);
        }
    }
    return pages;
}

bool CPropertySheet::WriteUnwrittenPages() {
    const int shown = GetActiveIndex();
    for (CPropertyPage* page : PagesWithUnwrittenEdits()) {
        SetActivePage(GetPageIndex(page));
        RunOnActivePage(PageCommand::Write);
    }
    if (!PagesWithUnwrittenEdits().empty()) {
        return false;
    }
    SetActivePage(shown);
    return true;
}

void CPropertySheet::UpdateEntry(const CPropertyPage* page) {
    const int index = GetPageIndex(page);
    if (list_ == nullptr || index < 0 || index >= list_->count()) {
        return;
    }
    const bool unwritten = page->IsWindowCreated() && page->HasUnwrittenEdits();
    QListWidgetItem* item = list_->item(index);
    if (item->font().bold() == unwritten) {
        return;
    }
    QFont font = item->font();
    font.setBold(unwritten);
    item->setFont(font);
    item->setText(QString::fromStdString(page->Caption() + (unwritten ? kUnwrittenMark : "")));
    item->setToolTip(unwritten ? QStringLiteral("Edits not written") : QString());
}

bool CPropertySheet::RunOnActivePage(PageCommand command) {
    return active_ != nullptr && !active_->IsBusy() && active_->RunCommand(command);
}

// The list marks the page the stack shows, scrolled into sight.
void CPropertySheet::SyncList() {
    if (list_ != nullptr && tabs_ != nullptr) {
        const QSignalBlocker block(list_);
        list_->setCurrentRow(tabs_->currentIndex());
        if (list_->currentItem() != nullptr) {
            list_->scrollToItem(list_->currentItem());
        }
    }
}

void CPropertySheet::SetTitle(std::string title) {
    title_ = std::move(title);
    if (window_ != nullptr) {
        window_->setWindowTitle(QString::fromStdString(Title()));
    }
}

void CPropertySheet::SetStatusText(std::string text, TextColour colour) {
    status_ = std::move(text);
    statusColour_ = colour;
    if (statusLine_ != nullptr) {
        statusLine_->setText(QString::fromStdString(status_));
        statusLine_->setStyleSheet(colour == TextColour::Alarm ? QStringLiteral("color: #c00000;")
                                                               : QString());
    }
}

void CPropertySheet::RemovePage(CPropertyPage* page) {
    const int index = GetPageIndex(page);
    if (index < 0) {
        return;
    }
    pages_.erase(pages_.begin() + index);
    frames_.erase(frames_.begin() + index);
    bars_.erase(bars_.begin() + index);
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
        if (list_ != nullptr) {
            const QSignalBlocker block(list_);
            delete list_->takeItem(index);
        }
        switching_ = false;
        delete tab;  // the frame with it
        SyncList();
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
    page->CreatePageWindow(frames_[index], bars_[index]);
    page->SetPageVisible(true);
}

void CPropertySheet::Create() {
    if (window_ != nullptr) {
        return;
    }
    window_ = new SheetWindow(parent_, [this] { return MayLeave(); });
    window_->setWindowTitle(QString::fromStdString(Title()));
    // Pages are built when first shown: start at a size that holds the largest of them.
    window_->resize(1060, 660);
    auto* layout = new QVBoxLayout(window_);
    // Every page in sight at once: the list of captions beside the page.
    auto* body = new QHBoxLayout();
    list_ = new PageListWidget(window_);
    list_->setObjectName(QStringLiteral("pageList"));
    list_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    body->addWidget(list_);
    tabs_ = new QTabWidget(window_);
    tabs_->tabBar()->hide();
    tabs_->setDocumentMode(true);
    body->addWidget(tabs_, 1);
    layout->addLayout(body, 1);
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
    statusLine_ = new QLabel(window_);
    statusLine_->setObjectName(QStringLiteral("statusLine"));
    statusLine_->setFrameShape(QFrame::StyledPanel);
    SetStatusText(status_, statusColour_);
    layout->addWidget(statusLine_);
    OnClicked(IDOK, [this] {
        if (MayLeave()) {
            EndSheet(IDOK);
        }
    });
    OnClicked(IDCANCEL, [this] {
        if (MayLeave()) {
            EndSheet(IDCANCEL);
        }
    });
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
        AddFrame(i);
        list_->addItem(QString::fromStdString(pages_[i]->Caption()));
    }
    FitListWidth();
    QObject::connect(tabs_, &QTabWidget::currentChanged, tabs_, [this](int index) {
        SyncList();
        if (!switching_) {
            Activate(index);
        }
    });
    // Selecting an entry is a tab change.
    QObject::connect(list_, &QListWidget::currentRowChanged, list_, [this](int row) {
        if (tabs_ != nullptr && row >= 0) {
            tabs_->setCurrentIndex(row);
        }
    });
    RestoreGeometry();
    const int first = std::clamp(selectPage_, 0, std::max(0, GetPageCount() - 1));
    switching_ = true;
    tabs_->setCurrentIndex(first);
    switching_ = false;
    SyncList();
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
        SaveGeometry();
        tabs_ = nullptr;
        list_ = nullptr;
        statusLine_ = nullptr;
        delete window_;
        window_ = nullptr;
        std::fill(frames_.begin(), frames_.end(), nullptr);
        std::fill(bars_.begin(), bars_.end(), nullptr);
    }
}

void CPropertySheet::RestoreGeometry() {
    const Desktop* desktop = Desktop::Installed();
    if (desktop == nullptr || !desktop->KeepsWindowPlacement()) {
        return;
    }
    const QSettings settings(QStringLiteral("Vireo"), QStringLiteral("Vireo"));
    window_->restoreGeometry(settings.value(QStringLiteral("sheet/geometry")).toByteArray());
}

void CPropertySheet::SaveGeometry() {
    const Desktop* desktop = Desktop::Installed();
    if (desktop == nullptr || !desktop->KeepsWindowPlacement()) {
        return;
    }
    QSettings settings(QStringLiteral("Vireo"), QStringLiteral("Vireo"));
    settings.setValue(QStringLiteral("sheet/geometry"), window_->saveGeometry());
}

}  // namespace platform
