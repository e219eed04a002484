#pragma once
// The protocol every page of the sheet follows: live refresh on show and on timer 1 while the
// page is visible, the Read and Write skeletons with their "Wait" texts, the part window with
// the page's pauses, typed numbers, radio groups, check boxes, the password gate and the range
// messages. A page states only its network variables, bytes, controls and texts.

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "node/LiveTrend.h"
#include "node/NodeField.h"
#include "node/NodeLink.h"
#include "node/NodeSite.h"
#include "node/NodeVariableMap.h"
#include "node/ServicePassword.h"
#include "page/NodeRoutine.h"
#include "platform/PropertyPage.h"

namespace vireo {

// How a page shows one node field.
enum class BindingKind : std::uint8_t {
    Number,      // an edit showing the field's number
    FlagText,    // an edit or static showing the texts of a flag's two states
    Alarm,       // a fault flag: "Alarm" in red when set, "OK" when clear
    Check,       // a check box: marked sets the flag
    FlagRadios,  // two radios: the first clears the flag, the second sets it
    ModeRadios,  // the three radios of a mode word: Off, Manual, Automatic
};

struct Bound {
    node::Field field;
    BindingKind kind = BindingKind::Number;
    std::array<int, 3> ids{};      // the control; radios in their order
    const char* onText = nullptr;  // FlagText and Alarm: the texts of the two states
    const char* offText = nullptr;

    // The controls the binding shows, in order.
    std::span<const int> Controls() const {
        const int count = kind == BindingKind::ModeRadios   ? 3
                          : kind == BindingKind::FlagRadios ? 2
                                                            : 1;
        return {ids.data(), static_cast<std::size_t>(count)};
    }
    // A number in one edit: what the trend draws and the unit labels.
    bool IsNumber() const { return kind == BindingKind::Number; }
};

constexpr Bound Edit(const node::Field& field, int id) {
    return {field, BindingKind::Number, {id, 0, 0}};
}
constexpr Bound FlagText(const node::Field& field, int id, const char* on, const char* off) {
    return {field, BindingKind::FlagText, {id, 0, 0}, on, off};
}
constexpr Bound AlarmText(const node::Field& field, int id) {
    return {field, BindingKind::Alarm, {id, 0, 0}, "Alarm", "OK"};
}
constexpr Bound Check(const node::Field& field, int id) {
    return {field, BindingKind::Check, {id, 0, 0}};
}
// A flag on two radios: marking setId sets it; any other state clears it.
constexpr Bound FlagRadios(const node::Field& field, int clearId, int setId) {
    return {field, BindingKind::FlagRadios, {clearId, setId, 0}};
}
constexpr Bound ModeRadios(const node::Field& field, int off, int manual, int automatic) {
    return {field, BindingKind::ModeRadios, {off, manual, automatic}};
}

// The lengths a page asks for: on its reads, and on the read of a read-modify-write.
struct ReadLengths {
    int read = nv::kBufferSize;
    int modify = nv::kPartSize;
};

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

    // The node the page talks to; the sheet attaches itself to every page it owns.
    void AttachNode(NodeSite* site) { site_ = site; }

    BOOL OnInitDialog() override;
    void OnShowWindow(BOOL show) override;
    void OnTimer(int timerId) override;

    // The routines behind "Read" and "Write" (public so the sheet's drivers can run them).
    void RunRead();
    void RunWrite();

    // Read and Write as a click on their buttons: through the write history and the gate.
    bool RunCommand(platform::PageCommand command) override;

    // The page's message map: the handler runs, then the enabling rules of the clicked control.
    void OnClicked(int id, std::function<void()> handler);

    const PageBehaviour& Behaviour() const { return behaviour_; }
    // The node fields the page declared: its configuration fields, or its live ones.
    const std::vector<Bound>& DeclaredFields(bool live) const { return live ? live_ : config_; }
    // The live values of the last ten minutes, by field name, shown in the page's trend.
    const node::LiveTrend& Trend() const { return trend_; }

protected:
    // Every button of a page is one operation of the write history, named by the page's caption.
    void RunClickHandler(const std::function<void()>& handler) override;

    // Page-specific parts of the protocol. By default the refresh shows the live fields and
    // the read and write routines handle the configuration fields, place by place.
    virtual void Refresh();
    virtual void ReadConfig();
    // Runs only after the password gate passed (pages without a gate always pass).
    virtual void WriteConfig();
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

    // Declares the page's node fields (call from the constructor). Live fields are shown by
    // the refresh, one read of 32 bytes per run of fields of the same variable. Configuration
    // fields are read and written place by place, in the order of their first field; the
    // write order may differ.
    void DeclareFields(std::span<const Bound> config, std::span<const Bound> live = {});
    void SetWriteOrder(std::vector<node::Place> order) { writeOrder_ = std::move(order); }
    void SetReadLengths(ReadLengths lengths) { lengths_ = lengths; }

    // One step of the read routine: selects the place's part (the routine's first part only
    // when NV 44 does not hold it already, later ones without asking), reads it and shows its
    // fields. False when the selection or the read failed; the controls stay as they were.
    bool ReadPlace(const node::Place& place);
    // One step of the write routine: selects as above, reads, stores the place's fields into
    // the bytes read and writes them back. Nothing is written when the selection or the read
    // failed.
    bool WritePlace(const node::Place& place);
    // Fields of one place shown from, or stored into, the bytes of that place.
    void ShowFields(const node::Place& place, const NvBuffer& bytes);
    void StoreFields(const node::Place& place, NvBuffer& bytes) const;
    void ShowField(const Bound& bound, const NvBuffer& bytes);
    // A field whose controls were never filled from the node nor typed or clicked into (its
    // read failed) keeps the bytes read: an empty edit is no 0, an unmarked radio no choice.
    // The controls stored are noted in the running Write for their marks.
    void StoreField(const Bound& bound, NvBuffer& bytes) const;
    // The places of the configuration fields, in declaration order.
    std::vector<node::Place> Places() const;

    // The node, through the interfaces the sheet holds.
    NodeLink Link() const;
    bool ReadNv(int index, NvBuffer& buffer, int length = nv::kBufferSize) const;
    bool WriteNv(int index, const NvBuffer& buffer, int length) const;

    // Page versions of the part window, with the page's pauses. A selection that fails in a
    // Write is reported as a write that failed.
    int GetSelectedPart() const;
    bool SelectPart(int part) const;
    // Selects part only when NV 44 does not hold it already; false when that selection failed.
    bool SelectFirst(int part) const;
    // The first part a routine needs: selected only when NV 44 does not hold it, then read.
    // A failed selection fails the read: NV 45 would show another part's bytes.
    bool ReadFirstPart(int part, NvBuffer& buffer, int length = nv::kPartSize) const;
    // A further part of the same routine: selected without asking, then read.
    bool ReadNextPart(int part, NvBuffer& buffer, int length = nv::kPartSize) const;
    bool WritePart(const NvBuffer& buffer) const;

    // Typed numbers by the atof rules: "12abc" is 12, "abc" is 0.
    double TypedNumber(int editId) const;
    // Puts a number into an edit with the page's decimals (0 or 1, as "%.0f" or "%.1f"), with a
    // decimal point whatever the desktop's language.
    void ShowNumber(int editId, double value, int decimals);

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
    void ShowCheck(int id, bool marked);

    // Enabling rules, declared in the constructor: the controls enabledIds are enabled while
    // the check box or radio controlId is marked (EnableWhile) or while it is not
    // (EnableUnless). The protocol applies a control's rules whenever the page sets its mark
    // (ShowCheck, ShowChoice, ShowMode and so a read of its field) and after every click on it
    // or on a radio of its group or binding (and so when an edit is put back after a Read).
    void EnableWhile(int controlId, std::vector<int> enabledIds);
    void EnableUnless(int controlId, std::vector<int> enabledIds);
    // Applies the rules of controlId and of the radios of its group or binding now: for a
    // page whose design runs them at a moment of its own as well.
    void ApplyRulesOf(int controlId);

    // The password gate: the typed text compared byte for byte with the service password.
    bool PasswordMatches(int editId) const;

    // A range-check or user message in an OK box.
    void ShowMessage(const std::string& text, const std::string& caption = "") const;

private:
    // Runs routine as the page's current one: every node call until it ends goes through it.
    class Running {
    public:
        Running(const CNodePage& page, NodeRoutine& routine);
        ~Running();
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;

    private:
        const CNodePage& page_;
        NodeRoutine* outer_;
    };
    // The routine the page's calls go to: the running one, or for a call outside any routine
    // (a page's own button) one made for that call alone.
    template <typename Call>
    auto WithRoutine(Call call) const;
    // Selects a step's part as the protocol says (a plain variable needs none); false when the
    // selection failed.
    bool SelectForStep(const node::Place& place);
    // Reads a place for a step of the current routine, selecting its part as the protocol says.
    bool ReadForStep(const node::Place& place, NvBuffer& bytes, int length);
    // The Read routine's steps with the technician's edits kept: every control the routine set
    // records the node's new state, and one that was edited (every control of its binding or
    // radio group) shows again what was typed, still marked against the node's new state.
    void ReadKeepingEdits(NodeRoutine& routine);
    // Controls the technician typed or clicked into that differ from the node's state, widened
    // to the whole binding or radio group each belongs to, with what each shows now: radios
    // and check boxes first.
    std::vector<std::pair<int, std::string>> EditedStates() const;
    // The radio groups and the bindings' controls: the controls that change together.
    std::vector<std::vector<int>> Units() const;
    // After the Write routine: its edited controls of failed steps marked not written, the
    // others recording the node's new state.
    void MarkWritten(const NodeRoutine& routine);
    // The live refresh; tells the site when at least one of its reads succeeded, shows the
    // live values it could not read again as not refreshed, and reports the trouble.
    void RefreshLive();
    // Live values (edits) the refresh set since the set number since are refreshed now; the
    // others, when a read failed, are marked with the time of their last refresh.
    void MarkUnrefreshed(unsigned long since, bool failed);
    // A page with numeric live values adds the "Trend" check box and, hidden until it is
    // ticked, the chart of those values over the last ten minutes.
    std::vector<platform::ControlTemplate> AddedControls() const override;
    std::vector<int> BarButtonIds() const override;
    // The unit of the node field an edit shows, and whether the edit shows a live value only.
    std::string UnitOf(int id) const override;
    bool ShowsValueOnly(int id) const override;
    std::vector<const Bound*> TrendFields() const;
    // Takes the values the refresh has just shown into the trend: no call to the node.
    void SampleTrend();
    void DrawTrend();

    // Controls enabled while control's mark is whileMarked.
    struct EnablingRule {
        int control;
        std::vector<int> enabled;
        bool whileMarked;
    };
    void AddRule(int controlId, std::vector<int> enabledIds, bool whileMarked);

    PageBehaviour behaviour_;
    NodeSite* site_ = nullptr;
    std::vector<EnablingRule> rules_;
    std::vector<int> clickable_;  // controls with a click handler of the page
    std::vector<Bound> config_;
    std::vector<Bound> live_;
    std::vector<std::vector<int>> radioGroups_;
    node::LiveTrend trend_;
    std::vector<node::Place> writeOrder_;
    ReadLengths lengths_;
    // The routine running now; null between routines.
    NodeRoutine* routine_ = nullptr;
    std::map<int, std::string> refreshedAt_;  // live edit -> time of its last refresh
};

}  // namespace vireo
