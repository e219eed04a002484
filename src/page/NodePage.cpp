#include "page/NodePage.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

#include "codecs/NumberReader.h"
#include "framework/Desktop.h"
#include "node/WriteRecorder.h"
#include "res/ControlIds.h"

namespace vireo {

namespace behaviour {

PageBehaviour None() {
    return {};
}

PageBehaviour Refresh() {
    PageBehaviour b;
    b.refreshOnShow = true;
    b.timer = true;
    b.refreshOnTimer = true;
    return b;
}

PageBehaviour RefreshRead() {
    PageBehaviour b = Refresh();
    b.readOnShow = true;
    return b;
}

PageBehaviour RefreshReadExtras() {
    PageBehaviour b = RefreshRead();
    b.extrasOnShow = true;
    return b;
}

PageBehaviour ReadOnly() {
    PageBehaviour b;
    b.readOnShow = true;
    return b;
}

PageBehaviour LeavingFocus(PageBehaviour b) {
    b.initDialogResult = FALSE;
    return b;
}

}  // namespace behaviour

namespace {

constexpr int kTimerId = 1;
constexpr int kTimerPeriodMs = 2000;

// The PC's local date and time as seconds since 1970 (local time, so a change of the clock
// shows as a jump; the trend copes with one).
double PcSeconds(const platform::LocalDateTime& now) {
    using namespace std::chrono;
    const year_month_day date{year{now.year}, month{static_cast<unsigned>(now.month)},
                              day{static_cast<unsigned>(now.day)}};
    const auto time = sys_days{date} + hours{now.hour} + minutes{now.minute} + seconds{now.second};
    return static_cast<double>(time.time_since_epoch().count());
}

}  // namespace

CNodePage::CNodePage(int templateId, int captionId, PageBehaviour behaviour)
    : CPropertyPage(templateId, captionId), behaviour_(behaviour), trend_(kTimerPeriodMs) {
    OnClicked(res::common::kRead, [this] { RunRead(); });
    OnClicked(res::common::kTrend, [this] {
        ShowDlgItem(res::common::kTrendChart, IsChecked(res::common::kTrend));
        DrawTrend();
    });
    OnClicked(res::common::kWrite, [this] { RunWrite(); });
}

BOOL CNodePage::OnInitDialog() {
    ShowDlgItem(res::common::kTrendChart, IsChecked(res::common::kTrend));
    return behaviour_.initDialogResult;
}

void CNodePage::OnShowWindow(BOOL show) {
    if (show) {
        if (behaviour_.refreshOnShow) {
            RefreshLive();
        }
        // The read and the page's own steps may use the part window; the refresh does not.
        const OperationHold hold(Link());
        if (behaviour_.readOnShow) {
            RunRead();
        }
        if (behaviour_.extrasOnShow) {
            ShowExtras();
        }
        if (behaviour_.timer) {
            SetTimer(kTimerId, kTimerPeriodMs);
        }
    } else {
        if (behaviour_.timer) {
            KillTimer(kTimerId);
        }
        // Nor are they sampled: the trend's lines break until the page is shown again.
        trend_.Break();
        // A hidden page's live values are no longer refreshed, so none of them is failing.
        if (site_ != nullptr) {
            site_->ShowTrouble(NodeTrouble::Refresh, "");
        }
    }
    if (behaviour_.extrasAfterTimer) {
        AfterTimerExtras();
    }
}

void CNodePage::OnTimer(int) {
    if (behaviour_.refreshOnTimer) {
        RefreshLive();
    }
}

CNodePage::Running::Running(const CNodePage& page, NodeRoutine& routine)
    : page_(page), outer_(page.routine_) {
    const_cast<CNodePage&>(page).routine_ = &routine;
}

CNodePage::Running::~Running() {
    const_cast<CNodePage&>(page_).routine_ = outer_;
}

template <typename Call>
auto CNodePage::WithRoutine(Call call) const {
    if (routine_ != nullptr) {
        return call(*routine_);
    }
    NodeRoutine alone(RoutineKind::Other, Link(), behaviour_.partPauseMs);
    return call(alone);
}

void CNodePage::RefreshLive() {
    const unsigned long since = NextSetNumber();
    NodeRoutine routine(RoutineKind::Refresh, Link(), behaviour_.partPauseMs);
    {
        const Running running(*this, routine);
        Refresh();
    }
    MarkUnrefreshed(since, !routine.NotRead().empty());
    SampleTrend();
    if (site_ == nullptr) {
        return;
    }
    if (routine.Reads() > 0) {
        site_->LiveValuesRefreshed();
    }
    site_->ShowTrouble(NodeTrouble::Refresh, RoutineTrouble("Refresh", Caption(), routine));
}

void CNodePage::MarkUnrefreshed(unsigned long since, bool failed) {
    const std::string now = platform::Desktop::Current().Now().TimeText();
    for (const platform::ControlState& control : Controls()) {
        // Live values show in edits, read-only or not (the actual pressure).
        if (control.kind != platform::ControlKind::ReadOnlyEdit &&
            control.kind != platform::ControlKind::Edit) {
            continue;
        }
        const auto last = refreshedAt_.find(control.id);
        if (DlgItemSetNumber(control.id) >= since) {
            refreshedAt_[control.id] = now;
            ClearStale(control.id);
        } else if (failed && last != refreshedAt_.end() && !control.text.empty()) {
            MarkStale(control.id, last->second);
        }
    }
}

std::vector<const Bound*> CNodePage::TrendFields() const {
    std::vector<const Bound*> fields;
    for (const Bound& bound : live_) {
        if (bound.IsNumber()) {
            fields.push_back(&bound);
        }
    }
    return fields;
}

std::vector<platform::ControlTemplate> CNodePage::AddedControls() const {
    if (TrendFields().empty()) {
        return {};
    }
    const char* group = "Trend of the live values, last 10 minutes";
    return {{.id = res::common::kTrend,
             .kind = platform::ControlKind::CheckBox,
             .text = "Trend",
             .group = group,
             .nodeValue = false},
            {.id = res::common::kTrendChart, .kind = platform::ControlKind::Chart, .group = group}};
}

void CNodePage::SampleTrend() {
    const std::vector<const Bound*> fields = TrendFields();
    if (fields.empty()) {
        return;
    }
    const double now = PcSeconds(platform::Desktop::Current().Now());
    for (const Bound* bound : fields) {
        if (!GetDlgItemText(bound->ids[0]).empty()) {
            trend_.Add(std::string(bound->field.name), now, TypedNumber(bound->ids[0]));
        }
    }
    DrawTrend();
}

void CNodePage::DrawTrend() {
    using platform::ChartAxis;
    const int chart = res::common::kTrendChart;
    if (!IsDlgItemVisible(chart)) {
        return;
    }
    // Minutes before now (the newest sample is this refresh's), the whole window shown.
    SetChartAxisTitle(chart, ChartAxis::X, "minutes");
    SetChartRange(chart, ChartAxis::X, -node::LiveTrend::kWindowSeconds / 60.0, 0);
    for (const Bound* bound : TrendFields()) {
        const std::string name(bound->field.name);
        // Outputs (%) on the right axis, temperatures and the rest on the left.
        const ChartAxis axis = bound->field.unit == "%" ? ChartAxis::Right : ChartAxis::Left;
        SetChartAxisTitle(chart, axis, std::string(bound->field.unit));
        std::vector<platform::ChartPoint> points;
        for (const auto& [seconds, value] : trend_.Line(name)) {
            points.push_back({seconds / 60.0, value});
        }
        SetChartSeries(chart, name, points, {.label = node::ShortName(bound->field), .axis = axis});
    }
}

bool CNodePage::RunCommand(platform::PageCommand command) {
    return ClickDlgItem(command == platform::PageCommand::Read ? res::common::kRead
                                                               : res::common::kWrite);
}

namespace {

// The bound whose first control is id (an edit showing the field's number), or null.
const Bound* BoundOf(std::span<const Bound> bounds, int id) {
    const auto it = std::find_if(bounds.begin(), bounds.end(),
                                 [id](const Bound& b) { return b.IsNumber() && b.ids[0] == id; });
    return it == bounds.end() ? nullptr : &*it;
}

}  // namespace

std::string CNodePage::UnitOf(int id) const {
    for (const auto& bounds : {std::span<const Bound>(config_), std::span<const Bound>(live_)}) {
        if (const Bound* bound = BoundOf(bounds, id)) {
            return std::string(bound->field.unit);
        }
    }
    return {};
}

// Flags shown as text ("Alarm", "OK") count too; the window makes only edits read-only.
bool CNodePage::ShowsValueOnly(int id) const {
    const auto shows = [id](const Bound& b) { return b.ids[0] == id; };
    return std::any_of(live_.begin(), live_.end(), shows) &&
           std::none_of(config_.begin(), config_.end(), shows);
}

std::vector<int> CNodePage::BarButtonIds() const {
    return {res::common::kRead, res::common::kWrite};
}

void CNodePage::RunRead() {
    SetDlgItemText(res::common::kRead, "Wait");
    const OperationHold hold(Link());
    NodeRoutine routine(RoutineKind::Read, Link(), behaviour_.partPauseMs);
    ReadKeepingEdits(routine);
    if (site_ != nullptr && (routine.Reads() > 0 || !routine.Unreachable().empty())) {
        // The node answers again: a failed Write shown until now is old news. Or it cannot be
        // reached at all, and the status line says why.
        site_->ShowTrouble(NodeTrouble::Write, RoutineTrouble("Read", Caption(), routine));
    }
    SetDlgItemText(res::common::kRead, "Read");
}

void CNodePage::ReadKeepingEdits(NodeRoutine& routine) {
    std::vector<std::pair<int, std::string>> edited = EditedStates();
    // A Read that a Write runs at its end shows what the node now holds of what it wrote.
    if (routine_ != nullptr) {
        std::erase_if(edited, [this](const auto& e) { return routine_->Wrote(e.first); });
    }
    std::vector<int> notWritten;
    for (const auto& [id, state] : edited) {
        if (IsDlgItemNotWritten(id)) {
            notWritten.push_back(id);
        }
    }
    const unsigned long since = NextSetNumber();
    {
        const Running running(*this, routine);
        ReadConfig();
    }
    if (routine.Reads() == 0) {
        return;
    }
    for (const platform::ControlState& control : Controls()) {
        if (DlgItemSetNumber(control.id) >= since) {
            RecordNodeText(control.id);
        }
    }
    for (const auto& [id, state] : edited) {
        if (DlgItemSetNumber(id) >= since) {
            SetDlgItemState(id, state);
        }
        // Not written, and why, until a Write stores it.
        if (std::find(notWritten.begin(), notWritten.end(), id) != notWritten.end()) {
            MarkNotWritten(id);
        }
    }
}

std::vector<std::vector<int>> CNodePage::Units() const {
    std::vector<std::vector<int>> units = radioGroups_;
    for (const Bound& bound : config_) {
        units.emplace_back(bound.Controls().begin(), bound.Controls().end());
    }
    return units;
}

std::vector<std::pair<int, std::string>> CNodePage::EditedStates() const {
    const std::vector<std::vector<int>> units = Units();
    std::vector<int> ids;
    for (const platform::ControlState& control : Controls()) {
        if (!IsDlgItemModified(control.id) || !IsDlgItemTyped(control.id)) {
            continue;
        }
        ids.push_back(control.id);
        for (const std::vector<int>& unit : units) {
            if (std::find(unit.begin(), unit.end(), control.id) != unit.end()) {
                ids.insert(ids.end(), unit.begin(), unit.end());
            }
        }
    }
    std::sort(ids.begin(), ids.end());
    // Clicks first: the edits they enable take their typed texts after them.
    std::vector<std::pair<int, std::string>> states;
    for (const bool clicks : {true, false}) {
        for (const platform::ControlState& control : Controls()) {
            const bool checkable = control.kind == platform::ControlKind::Radio ||
                                   control.kind == platform::ControlKind::CheckBox;
            if (checkable == clicks && std::binary_search(ids.begin(), ids.end(), control.id)) {
                states.emplace_back(control.id, GetDlgItemState(control.id));
            }
        }
    }
    return states;
}

void CNodePage::RunWrite() {
    SetDlgItemText(res::common::kWrite, "Wait");
    const int passwordId = PasswordEditId();
    if (passwordId != 0 && !PasswordMatches(passwordId)) {
        ShowMessage(WrongPasswordMessage());
    } else {
        const OperationHold hold(Link());
        NodeRoutine routine(RoutineKind::Write, Link(), behaviour_.partPauseMs);
        {
            const Running running(*this, routine);
            WriteConfig();
        }
        MarkWritten(routine);
        // What the node now holds, unless it could not be reached at all.
        if (ReadsAfterWrite() && routine.Unreachable().empty()) {
            RunRead();
        }
        // A Write that neither wrote nor failed to (its reads failed) leaves the line alone.
        if (site_ != nullptr && (routine.Writes() > 0 || !routine.NotWritten().empty() ||
                                 !routine.Unreachable().empty())) {
            site_->ShowTrouble(NodeTrouble::Write, RoutineTrouble("Write", Caption(), routine));
        }
    }
    if (passwordId != 0 && ClearsPasswordAfterWrite()) {
        SetDlgItemText(passwordId, "");
    }
    SetDlgItemText(res::common::kWrite, "Write");
}

void CNodePage::MarkWritten(const NodeRoutine& routine) {
    // A page that stores its controls itself does not say which of them a failed step stored:
    // every edited control may be among them.
    std::vector<int> failed = routine.NotWrittenControls();
    if (!routine.NotWritten().empty() && failed.empty()) {
        for (const platform::ControlState& control : Controls()) {
            failed.push_back(control.id);
        }
    }
    // Only what the technician changed is not written; an untouched value still shows what
    // the node holds.
    for (const platform::ControlState& control : Controls()) {
        const bool notWritten = std::find(failed.begin(), failed.end(), control.id) != failed.end();
        if (notWritten && IsDlgItemModified(control.id)) {
            MarkNotWritten(control.id);
        } else if (routine.Writes() > 0 && !notWritten) {
            RecordNodeText(control.id);
        }
    }
}

void CNodePage::RunClickHandler(const std::function<void()>& handler) {
    const node::RecordedOperation operation(Caption());
    // A button's work is one operation on the node: its part selections and the NV 45 accesses
    // that depend on them are not interleaved with another program's.
    const OperationHold hold(Link());
    handler();
}

void CNodePage::UseDefaultAndResetButtons() {
    OnClicked(res::calendar::kDefault, [this] {
        for (const auto& [id, text] : DefaultTexts()) {
            SetDlgItemText(id, text);
        }
    });
    OnClicked(res::calendar::kReset, [this] { OnReset(); });
}

void CNodePage::OnReset() {
    for (const auto& [id, text] : ResetTexts()) {
        SetDlgItemText(id, text);
    }
}

NodeLink CNodePage::Link() const {
    return site_ == nullptr ? NodeLink() : site_->Link();
}

bool CNodePage::ReadNv(int index, NvBuffer& buffer, int length) const {
    return WithRoutine([&](NodeRoutine& r) { return r.ReadNv(index, buffer, length); });
}

bool CNodePage::WriteNv(int index, const NvBuffer& buffer, int length) const {
    return WithRoutine([&](NodeRoutine& r) { return r.WriteNv(index, buffer, length); });
}

int CNodePage::GetSelectedPart() const {
    return WithRoutine([](NodeRoutine& r) { return r.GetSelectedPart(); });
}

bool CNodePage::SelectPart(int part) const {
    return WithRoutine([part](NodeRoutine& r) { return r.SelectPart(part); });
}

bool CNodePage::SelectFirst(int part) const {
    return WithRoutine([part](NodeRoutine& r) { return r.SelectFirst(part); });
}

bool CNodePage::ReadFirstPart(int part, NvBuffer& buffer, int length) const {
    return SelectFirst(part) && ReadNv(nv::kPluginCnf, buffer, length);
}

bool CNodePage::ReadNextPart(int part, NvBuffer& buffer, int length) const {
    return SelectPart(part) && ReadNv(nv::kPluginCnf, buffer, length);
}

void CNodePage::DeclareFields(std::span<const Bound> config, std::span<const Bound> live) {
    for (const auto& bounds : {config, live}) {
        for (const Bound& bound : bounds) {
            const bool flagOrMode =
                bound.field.codec == node::Codec::Flag || bound.field.codec == node::Codec::Mode;
            // A flag or mode word shows in its own kinds of control, never as a number.
            if (flagOrMode == (bound.kind == BindingKind::Number)) {
                throw std::logic_error("field " + std::string(bound.field.name) +
                                       " is bound as the wrong kind of control");
            }
        }
    }
    config_.assign(config.begin(), config.end());
    live_.assign(live.begin(), live.end());
}

std::vector<node::Place> CNodePage::Places() const {
    std::vector<node::Place> places;
    for (const Bound& bound : config_) {
        if (std::find(places.begin(), places.end(), bound.field.place) == places.end()) {
            places.push_back(bound.field.place);
        }
    }
    return places;
}

void CNodePage::Refresh() {
    // One read per run of live fields of the same variable, in declaration order.
    for (std::size_t i = 0; i < live_.size();) {
        const node::Place place = live_[i].field.place;
        NvBuffer bytes{};
        const bool read = ReadNv(place.nv, bytes, nv::kBufferSize);
        for (; i < live_.size() && live_[i].field.place == place; ++i) {
            if (read) {
                ShowField(live_[i], bytes);
            }
        }
    }
}

void CNodePage::ReadConfig() {
    for (const node::Place& place : Places()) {
        ReadPlace(place);
    }
}

void CNodePage::WriteConfig() {
    for (const node::Place& place : writeOrder_.empty() ? Places() : writeOrder_) {
        WritePlace(place);
    }
}

bool CNodePage::SelectForStep(const node::Place& place) {
    return place.part == 0 ||
           WithRoutine([&](NodeRoutine& r) { return r.SelectForStep(place.part); });
}

bool CNodePage::ReadForStep(const node::Place& place, NvBuffer& bytes, int length) {
    return SelectForStep(place) &&
           ReadNv(place.part == 0 ? place.nv : nv::kPluginCnf, bytes, length);
}

bool CNodePage::ReadPlace(const node::Place& place) {
    NvBuffer bytes{};
    if (!ReadForStep(place, bytes, lengths_.read)) {
        return false;
    }
    ShowFields(place, bytes);
    return true;
}

bool CNodePage::WritePlace(const node::Place& place) {
    NvBuffer bytes{};
    if (!SelectForStep(place)) {
        // A failed selection leaves the whole step unwritten.
        WithRoutine([&](NodeRoutine& r) {
            for (const Bound& bound : config_) {
                if (bound.field.place == place) {
                    r.NoteNotWritten(bound.Controls());
                }
            }
        });
        return false;
    }
    if (!ReadNv(place.part == 0 ? place.nv : nv::kPluginCnf, bytes, lengths_.modify)) {
        return false;
    }
    StoreFields(place, bytes);
    const nv::Variable* variable = nv::Find(place.nv);
    WriteNv(place.nv, bytes, variable != nullptr ? variable->size : nv::kPartSize);
    return true;
}

void CNodePage::ShowFields(const node::Place& place, const NvBuffer& bytes) {
    for (const Bound& bound : config_) {
        if (bound.field.place == place) {
            ShowField(bound, bytes);
        }
    }
}

void CNodePage::StoreFields(const node::Place& place, NvBuffer& bytes) const {
    for (const Bound& bound : config_) {
        if (bound.field.place == place) {
            StoreField(bound, bytes);
        }
    }
}

void CNodePage::ShowField(const Bound& bound, const NvBuffer& bytes) {
    const node::Field& field = bound.field;
    const auto& [id, second, third] = bound.ids;
    switch (bound.kind) {
        case BindingKind::Number:
            SetDlgItemText(id, node::Text(field, bytes.data()));
            RecordNodeText(id);
            break;
        case BindingKind::FlagText:
        case BindingKind::Alarm: {
            const bool set = node::FlagSet(field, bytes.data());
            SetDlgItemText(id, set ? bound.onText : bound.offText);
            RecordNodeText(id);
            if (bound.kind == BindingKind::Alarm) {
                SetDlgItemColour(id,
                                 set ? platform::TextColour::Alarm : platform::TextColour::Normal);
            }
            break;
        }
        case BindingKind::Check:
            ShowCheck(id, node::FlagSet(field, bytes.data()));
            break;
        case BindingKind::FlagRadios:
            ShowChoice({id, second}, node::FlagSet(field, bytes.data()) ? 1 : 0);
            break;
        case BindingKind::ModeRadios:
            ShowMode({id, second, third}, static_cast<int>(node::Value(field, bytes.data())));
            break;
    }
}

void CNodePage::StoreField(const Bound& bound, NvBuffer& bytes) const {
    const node::Field& field = bound.field;
    const auto& [id, second, third] = bound.ids;
    const std::span<const int> controls = bound.Controls();
    if (std::none_of(controls.begin(), controls.end(),
                     [this](int control) { return DlgItemSetNumber(control) != 0; })) {
        return;
    }
    WithRoutine([controls](NodeRoutine& r) { r.NoteStored(controls); });
    switch (bound.kind) {
        case BindingKind::Number:
            node::StoreText(field, GetDlgItemText(id), bytes.data());
            break;
        case BindingKind::FlagText:
        case BindingKind::Alarm:
            break;  // the node's state in words: shown, never stored
        case BindingKind::Check:
            node::StoreFlag(field, IsChecked(id), bytes.data());
            break;
        case BindingKind::FlagRadios:
            node::StoreFlag(field, FirstMarked({id, second}) == 1, bytes.data());
            break;
        case BindingKind::ModeRadios:
            node::StoreWord(field, ModeWord({id, second, third}), bytes.data());
            break;
    }
}

bool CNodePage::WritePart(const NvBuffer& buffer) const {
    return WriteNv(nv::kPluginCnf, buffer, nv::kPartSize);
}

double CNodePage::TypedNumber(int editId) const {
    return codecs::ReadNumber(GetDlgItemText(editId));
}

void CNodePage::ShowNumber(int editId, double value, int decimals) {
    SetDlgItemText(editId, codecs::FixedText(value, decimals));
}

void CNodePage::MakeRadioGroup(std::initializer_list<int> ids) {
    const std::vector<int> group(ids);
    radioGroups_.push_back(group);
    for (int id : group) {
        OnClicked(id, [this, id, group] {
            for (int other : group) {
                CheckDlgButton(other, other == id ? 1 : 0);
            }
        });
    }
}

void CNodePage::ShowChoice(std::initializer_list<int> ids, int index) {
    int i = 0;
    for (int id : ids) {
        CheckDlgButton(id, i++ == index ? 1 : 0);
    }
    if (ids.size() != 0) {
        ApplyRulesOf(*ids.begin());
    }
}

void CNodePage::ShowCheck(int id, bool marked) {
    CheckDlgButton(id, marked ? 1 : 0);
    ApplyRulesOf(id);
}

void CNodePage::OnClicked(int id, std::function<void()> handler) {
    clickable_.push_back(id);
    platform::ControlHost::OnClicked(id, [this, id, handler = std::move(handler)] {
        if (handler) {
            handler();
        }
        ApplyRulesOf(id);
    });
}

void CNodePage::EnableWhile(int controlId, std::vector<int> enabledIds) {
    AddRule(controlId, std::move(enabledIds), true);
}

void CNodePage::EnableUnless(int controlId, std::vector<int> enabledIds) {
    AddRule(controlId, std::move(enabledIds), false);
}

void CNodePage::AddRule(int controlId, std::vector<int> enabledIds, bool whileMarked) {
    rules_.push_back({controlId, std::move(enabledIds), whileMarked});
    // A click on the control alone applies its rules; a handler of the page's keeps its place.
    if (std::find(clickable_.begin(), clickable_.end(), controlId) == clickable_.end()) {
        OnClicked(controlId, nullptr);
    }
}

void CNodePage::ApplyRulesOf(int controlId) {
    if (rules_.empty()) {
        return;
    }
    // A radio's rules follow every button of its group or binding: a click on one clears the
    // others.
    std::vector<int> controls{controlId};
    for (const std::vector<int>& unit : Units()) {
        if (std::find(unit.begin(), unit.end(), controlId) != unit.end()) {
            controls.insert(controls.end(), unit.begin(), unit.end());
        }
    }
    for (const EnablingRule& rule : rules_) {
        if (std::find(controls.begin(), controls.end(), rule.control) == controls.end()) {
            continue;
        }
        const bool enable = IsChecked(rule.control) == rule.whileMarked;
        for (int id : rule.enabled) {
            EnableDlgItem(id, enable);
        }
    }
}

int CNodePage::FirstMarked(std::initializer_list<int> ids) const {
    int i = 0;
    for (int id : ids) {
        if (IsDlgButtonChecked(id) == 1) {
            return i;
        }
        ++i;
    }
    return -1;
}

void CNodePage::ShowMode(std::initializer_list<int> offManualAuto, int word) {
    ShowChoice(offManualAuto, word == nv::kModeOff ? 0 : word == nv::kModeManual ? 1 : 2);
}

int CNodePage::ModeWord(std::initializer_list<int> offManualAuto, int noneValue) const {
    switch (FirstMarked(offManualAuto)) {
        case 0:
            return nv::kModeOff;
        case 1:
            return nv::kModeManual;
        case 2:
            return nv::kModeAutomatic;
        default:
            return noneValue;
    }
}

bool CNodePage::PasswordMatches(int editId) const {
    return IsServicePassword(GetDlgItemText(editId));
}

void CNodePage::ShowMessage(const std::string& text, const std::string& caption) const {
    platform::Desktop::Current().Message(text, caption);
}

}  // namespace vireo
