#pragma once
// The protocol every page of the sheet follows: live refresh on show and on timer 1 while the
// page is visible, the Read and Write skeletons with their "Wait" texts, the part window with
// the page's pauses, typed numbers, radio groups, check boxes, the password gate and the range
// messages. A page states only its network variables, bytes, controls and texts.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/PropertyPage.h"
#include "sheet/NodeLink.h"
#include "sheet/NodeVariableMap.h"
#include "sheet/ServicePassword.h"

class CSheet;

// A handler's buffer for one host read: at least 32 bytes, zero-initialised.
using NvBuffer = std::array<std::uint8_t, nv::kBufferSize>;

// Common controls.
inline constexpr int IDC_READ = 211;
inline constexpr int IDC_WRITE = 210;
inline constexpr int IDC_DEFAULT = 259;
inline constexpr int IDC_RESET = 260;

// What a page does when it is shown, hidden and when timer 1 ticks.
struct PageBehaviour {
    bool refreshOnShow = false;     // live values on show
    bool readOnShow = false;        // the read routine on show
    bool extrasOnShow = false;      // page-specific steps after refresh and read
    bool timer = false;             // timer 1 runs every 2000 ms while visible
    bool refreshOnTimer = false;    // the timer refreshes the live values
    bool extrasAfterTimer = false;  // page-specific steps after the timer step, on show and hide
    int partPauseMs = 250;          // pause before and after each part selection
    BOOL initDialogResult = TRUE;
};

// Show and timer behaviour by page kind.
namespace behaviour {
PageBehaviour None();
PageBehaviour Refresh();            // refresh on show and timer
PageBehaviour RefreshRead();        // refresh and read on show, refresh on timer
PageBehaviour RefreshReadExtras();  // as RefreshRead, then the page's extras on show
PageBehaviour ReadOnly();           // read on show, no timer
// The same behaviour for the pages whose OnInitDialog leaves the keyboard focus alone.
PageBehaviour LeavingFocus(PageBehaviour b);
}  // namespace behaviour

class CNodePage : public platform::CPropertyPage {
public:
    CNodePage(int templateId, int captionId, PageBehaviour behaviour);

    BOOL OnInitDialog() override;
    void OnShowWindow(BOOL show) override;
    void OnTimer(int timerId) override;

    // The routines behind "Read" and "Write" (public so the sheet's drivers can run them).
    void RunRead();
    void RunWrite();

    const PageBehaviour& Behaviour() const { return behaviour_; }

protected:
    // Page-specific parts of the protocol.
    virtual void Refresh() {}
    virtual void ReadConfig() {}
    // Runs only after the password gate passed (pages without a gate always pass).
    virtual void WriteConfig() {}
    virtual void ShowExtras() {}
    virtual void AfterTimerExtras() {}
    // Pages with a password gate return the id of the password edit and their message.
    virtual int PasswordEditId() const { return 0; }
    virtual std::string WrongPasswordMessage() const { return "Wrong Password"; }
    // Whether Write empties the password edit after every attempt.
    virtual bool ClearsPasswordAfterWrite() const { return false; }
    // Whether Write runs the read routine at its end to show what the node now holds.
    virtual bool ReadsAfterWrite() const { return false; }

    // Calendar pages: the texts "Default" (259) puts into the page's edits and the texts
    // "Reset" (260) and the page-reset handler put there. Neither writes to the node.
    using EditTexts = std::vector<std::pair<int, std::string>>;
    virtual EditTexts DefaultTexts() const { return {}; }
    virtual EditTexts ResetTexts() const { return {}; }
    // Registers "Default" and "Reset" for a page that has them (call from the constructor).
    void UseDefaultAndResetButtons();
    void OnReset() override;

    // The node, through the sheet's interfaces.
    NodeLink Link() const;
    bool ReadNv(int index, NvBuffer& buffer, int length = nv::kBufferSize) const;
    bool WriteNv(int index, const NvBuffer& buffer, int length) const;

    // Page versions of the part window, with the page's pauses.
    int GetSelectedPart() const;
    void SelectPart(int part) const;
    // The first part a routine needs: selected only when NV 44 does not hold it, then read.
    bool ReadFirstPart(int part, NvBuffer& buffer, int length = nv::kPartSize) const;
    // A further part of the same routine: selected without asking, then read.
    bool ReadNextPart(int part, NvBuffer& buffer, int length = nv::kPartSize) const;
    bool WritePart(const NvBuffer& buffer) const;

    // Typed numbers by the atof rules: "12abc" is 12, "abc" is 0.
    double TypedNumber(int editId) const;
    // Puts a number into an edit with the page's format ("%.0f" or "%.1f").
    void ShowNumber(int editId, double value, const char* format);

    // Radio groups: every button starts its own group; the page keeps them exclusive.
    // Registers click handlers that mark the clicked button and clear the others.
    void MakeRadioGroup(std::initializer_list<int> ids);
    // Marks exactly the button at index (none when index is out of range).
    void ShowChoice(std::initializer_list<int> ids, int index);
    // The index of the first marked button, or -1 when none is marked.
    int FirstMarked(std::initializer_list<int> ids) const;
    // Three-way mode groups (Off, Manual, Automatic): 0, 1, anything else.
    void ShowMode(std::initializer_list<int> offManualAuto, int word);
    // The mode word of the first marked button: 0, 1 or 255; noneValue when none is marked.
    int ModeWord(std::initializer_list<int> offManualAuto,
                 int noneValue = nv::kModeAutomatic) const;

    // Check boxes: state 1 sets the flag.
    bool IsChecked(int id) const { return IsDlgButtonChecked(id) == 1; }
    void ShowCheck(int id, bool marked) { CheckDlgButton(id, marked ? 1 : 0); }

    // The password gate: the typed text compared byte for byte with the service password.
    bool PasswordMatches(int editId) const;

    // A range-check or user message in an OK box.
    void ShowMessage(const std::string& text, const std::string& caption = "") const;

    CSheet* NodeSheet() const;

private:
    PageBehaviour behaviour_;
};
