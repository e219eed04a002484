#pragma once
// A property sheet: tabs of pages over the framework's buttons "OK" (1), "Cancel" (2) and
// "Apply" (12321). Pages may be added and removed while it is open; the shown page's window is
// created on demand and hidden pages get their hide message before the next page is shown.

#include <string>
#include <vector>

#include "platform/ControlHost.h"
#include "platform/PropertyPage.h"

class QDialog;
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

    std::string caption_;
    QWidget* parent_;
    int selectPage_;
    std::vector<CPropertyPage*> pages_;
    std::vector<QWidget*> frames_;  // one tab frame per page in pages_
    CPropertyPage* active_ = nullptr;
    QDialog* window_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    bool switching_ = false;
    int result_ = 2;
};

}  // namespace platform
