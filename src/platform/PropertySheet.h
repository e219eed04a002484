#pragma once
// A property sheet: tabs of pages over the framework's buttons "OK" (1), "Cancel" (2) and
// "Apply" (12321). Pages may be added and removed while it is open; the shown page's window is
// created on demand and hidden pages get their hide message before the next page is shown.

#include <functional>
#include <string>
#include <vector>

#include "platform/ControlHost.h"
#include "platform/PropertyPage.h"

class QDialog;
class QLabel;
class QListWidget;
class QTabWidget;
class QWidget;

namespace platform {

inline constexpr int ID_APPLY_NOW = 12321;

class CPropertySheet : public ControlHost {
public:
    CPropertySheet(std::string caption, QWidget* parent, int selectPage);
    ~CPropertySheet() override;

    void AddPage(CPropertyPage* page);
    void RemovePage(CPropertyPage* page);
    int GetPageCount() const { return static_cast<int>(pages_.size()); }
    CPropertyPage* GetPage(int index) const;
    int GetPageIndex(const CPropertyPage* page) const;
    CPropertyPage* GetActivePage() const { return active_; }
    int GetActiveIndex() const;
    bool SetActivePage(int index);
    std::vector<std::string> TabCaptions() const;
    std::string Caption() const { return caption_; }
    // The window's title; the caption until one is set.
    void SetTitle(std::string title);
    std::string Title() const { return title_.empty() ? caption_ : title_; }
    // The status line at the bottom of the sheet; in red while it tells of a trouble.
    void SetStatusText(std::string text, TextColour colour = TextColour::Normal);
    std::string StatusText() const { return status_; }
    TextColour StatusColour() const { return statusColour_; }
    // The page list beside the page: one entry per page in the sheet's order; selecting an
    // entry shows its page as a tab change does. Null while the sheet has no window.
    QListWidget* PageList() const { return list_; }
    // The pages whose windows hold edits not written, in the sheet's order; their entries in
    // the page list end in " *" and show in bold.
    std::vector<CPropertyPage*> PagesWithUnwrittenEdits() const;
    // What the leaving prompt's "Write" does: shows each page that holds edits not written and
    // runs its Write. True when no page holds any afterwards (the shown page is shown again);
    // false leaves the sheet on a page still holding some, its trouble on the status line.
    bool WriteUnwrittenPages();
    // Shows whether the page holds edits not written on its entry in the page list.
    void UpdateEntry(const CPropertyPage* page);
    // Runs Read or Write of the shown page; false when it has none in reach.
    bool RunOnActivePage(PageCommand command);
    // Asked before "Exit", Escape or the close box close the sheet; false keeps it open. The
    // GUI's desktop sets one that asks about edits not written; without one the sheet closes.
    void SetLeaveGuard(std::function<bool()> guard) { leaveGuard_ = std::move(guard); }

    // Modal run: builds the window, runs the desktop's modal loop, closes.
    int DoModal();
    // The framework's initialisation: shows the first page.
    virtual BOOL OnInitDialog();

    // Modeless steps of the modal run, for drivers that run the sheet themselves.
    void Create();
    bool IsOpen() const { return window_ != nullptr; }
    // "OK" (1) closes with IDOK; "Cancel" (2) and the close box close with IDCANCEL, after
    // every created page's reset handler.
    void EndSheet(int result);
    int ExecModal();
    // Destroys the sheet's window and every page window; the page objects live on.
    void Close();
    QDialog* Window() const { return window_; }

private:
    void Activate(int index);
    void AddEntry(int index);
    void FitListWidth();
    void AddFrame(std::size_t index);
    bool MayLeave() const { return !leaveGuard_ || leaveGuard_(); }
    void SyncList();
    // The window's size and place, kept in the user's settings by the GUI desktop.
    void RestoreGeometry();
    void SaveGeometry();

    std::string caption_;
    QWidget* parent_;
    int selectPage_;
    std::vector<CPropertyPage*> pages_;
    std::vector<QWidget*> frames_;  // one tab frame per page in pages_
    std::vector<QWidget*> bars_;    // the row of its Read and Write below each frame
    CPropertyPage* active_ = nullptr;
    QDialog* window_ = nullptr;
    QTabWidget* tabs_ = nullptr;  // its stack holds the pages; the list replaces its tab row
    QListWidget* list_ = nullptr;
    QLabel* statusLine_ = nullptr;
    std::string title_;
    std::string status_;
    TextColour statusColour_ = TextColour::Normal;
    std::function<bool()> leaveGuard_;
    bool switching_ = false;
    int result_ = 2;
};

}  // namespace platform
