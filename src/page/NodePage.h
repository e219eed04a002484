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
#include "platform/PropertyPage.h"

namespace vireo {

// A handler's buffer for one host read: at least 32 bytes, zero-initialised.
using NvBuffer = std::array<std::uint8_t, nv::kBufferSize>;

// How a page shows one node field: in an edit (its number, or for a flag the texts of its two
// states), a check box, a pair of radios (a flag: the first clears it, the second sets it), or
// the three radios of a mode word (Off, Manual, Automatic).
struct Bound {
    node::Field field;
    std::array<int, 3> ids{};      // the control; radios in their order
    const char* onText = nullptr;  // a flag shown as text
    const char* offText = nullptr;
    bool alarm = false;  // a flag shown as text whose set state is an alarm, in red
};

// An edit showing the field's number (or a flag's texts).
constexpr Bound Edit(const node::Field& field, int id) {
    return {field, {id, 0, 0}};
}
constexpr Bound FlagText(const node::Field& field, int id, const char* on, const char* off) {
    return {field, {id, 0, 0}, on, off};
}
// A fault flag: "Alarm" in red when set, "OK" when clear.
constexpr Bound AlarmText(const node::Field& field, int id) {
    return {field, {id, 0, 0}, "Alarm", "OK", true};
}
constexpr Bound Check(const node::Field& field, int id) {
    return {field, {id, 0, 0}};
}
// A flag on two radios: marking setId sets it; any other state clears it.
constexpr Bound FlagRadios(const node::Field& field, int clearId, int setId) {
    return {field, {clearId, setId, 0}};
}
constexpr Bound ModeRadios(const node::Field& field, int off, int manual, int automatic) {
    return {field, {off, manual, automatic}};
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
    void ShowCheck(int id, bool marked) { CheckDlgButton(id, marked ? 1 : 0); }

    // The password gate: the typed text compared byte for byte with the service password.
    bool PasswordMatches(int editId) const;

    // A range-check or user message in an OK box.
    void ShowMessage(const std::string& text, const std::string& caption = "") const;

private:
    // Reads a place for a step of the current routine, selecting its part as the protocol says.
    bool ReadForStep(const node::Place& place, NvBuffer& bytes, int length);
    // A selection of the part window; notes the part NV 45 now shows, or the failed write.
    bool Selected(int part, bool selected) const;
    // A write of the Write routine that the node did not take: its variable for the status
    // line, the controls stored since the last write for their marks.
    void NoteNotWritten(int index) const;
    // After the Write routine: the controls of its failed steps marked, the trouble shown or
    // mended.
    void ReportWrite(bool wrote);
    // The live refresh; tells the site when at least one of its reads succeeded, shows the
    // live values it could not read again as not refreshed, and reports the trouble.
    void RefreshLive();
    // Live values (edits) the refresh set since the set number since are refreshed now; the
    // others, when a read failed, are marked with the time of their last refresh.
    void MarkUnrefreshed(unsigned long since);
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

    PageBehaviour behaviour_;
    NodeSite* site_ = nullptr;
    std::vector<Bound> config_;
    std::vector<Bound> live_;
    node::LiveTrend trend_;
    std::vector<node::Place> writeOrder_;
    ReadLengths lengths_;
    bool partSelected_ = false;  // the current routine has selected its first part
    // Successful reads and writes of the node: a routine that moved no byte leaves the edits'
    // edited-but-not-written marks as they were.
    mutable int nodeReads_ = 0;
    mutable int nodeWrites_ = 0;
    // The Write routine's steps are running: failed writes are noted.
    bool writing_ = false;
    mutable int shownPart_ = 0;                    // the part this page last saw NV 45 show
    mutable std::vector<int> stored_;              // controls stored since the last write
    mutable std::vector<std::string> notWritten_;  // "NV 45 (part 6)", once each
    mutable std::vector<int> notWrittenIds_;
    mutable int failedWrites_ = 0;
    // The live refresh is running: failed reads are noted.
    bool refreshing_ = false;
    mutable std::vector<int> failedReads_;
    std::map<int, std::string> refreshedAt_;  // live edit -> time of its last refresh
};

}  // namespace vireo
