#pragma once
// A dialog bound to a dialog template. Its window (a Qt widget) is built from the template
// when it is created and dropped when it is destroyed; the object itself lives on, as a
// framework dialog object does.

#include <memory>
#include <string>
#include <vector>

#include "framework/Com.h"
#include "framework/Desktop.h"
#include "platform/ControlHost.h"

class QWidget;
class QDialog;

namespace platform {

class CDialog : public ControlHost {
public:
    explicit CDialog(int templateId);
    ~CDialog() override;

    int TemplateId() const { return templateId_; }
    bool IsWindowCreated() const { return window_ != nullptr; }
    QWidget* Window() const { return window_; }

    // Modal dialog: builds a top-level window, runs OnInitDialog and the desktop's modal loop,
    // destroys the window and returns the result given to EndDialog (IDCANCEL when closed).
    int DoModal();
    void EndDialog(int result);
    // The Qt modal loop; the desktop's RunModal calls it in the GUI.
    int ExecModal();
    QDialog* ModalWindow() const { return modal_; }

    virtual BOOL OnInitDialog() { return TRUE; }

protected:
    // Builds the template's controls into parent, which becomes this dialog's window; the
    // buttons of BarButtonIds go into buttonBar's row when one is given.
    void CreateInto(QWidget* parent, QWidget* buttonBar = nullptr);
    // The push buttons that stay in sight however the page scrolls (a page's Read and Write).
    virtual std::vector<int> BarButtonIds() const { return {}; }
    void DestroyWindow();
    // Called when the window is destroyed, before its controls go.
    virtual void OnDestroy() {}
    // Controls a kind of dialog adds after its template's own (the node pages' live trend).
    virtual std::vector<ControlTemplate> AddedControls() const { return {}; }
    // The unit shown beside an edit whose template gives none (the unit of the node field the
    // edit shows); empty for none.
    virtual std::string UnitOf(int) const { return {}; }
    // Whether an edit only shows a value (a live value the page refreshes): it is shown
    // read-only whatever its template's kind.
    virtual bool ShowsValueOnly(int) const { return false; }

private:
    int templateId_;
    QWidget* window_ = nullptr;
    QWidget* buttonBar_ = nullptr;
    QDialog* modal_ = nullptr;
    int result_ = IDCANCEL;
};

}  // namespace platform
