#include "page/NodePage.h"

#include <algorithm>
#include <chrono>

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

void AddOnce(std::vector<std::string>& texts, std::string text) {
    if (std::find(texts.begin(), texts.end(), text) == texts.end()) {
        texts.push_back(std::move(text));
    }
}

// "NV 24, NV 45 (part 6)".
std::string Joined(const std::vector<std::string>& texts) {
    std::string text;
    for (const std::string& t : texts) {
        text += (text.empty() ? "" : ", ") + t;
    }
    return text;
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

void CNodePage::RefreshLive() {
    const int reads = nodeReads_;
    const unsigned long since = NextSetNumber();
    failedReads_.clear();
    refreshing_ = true;
    Refresh();
    refreshing_ = false;
    MarkUnrefreshed(since);
    SampleTrend();
    if (site_ == nullptr) {
        return;
    }
    if (nodeReads_ != reads) {
        site_->LiveValuesRefreshed();
    }
    std::vector<std::string> unread;
    for (int index : failedReads_) {
        AddOnce(unread, "NV " + std::to_string(index));
    }
    site_->ShowTrouble(NodeTrouble::Refresh, unread.empty()
                                                 ? std::string()
                                                 : "Refresh of " + Caption() +
                                                       " failed: " + Joined(unread) + " not read");
}

void CNodePage::MarkUnrefreshed(unsigned long since) {
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
        } else if (!failedReads_.empty() && last != refreshedAt_.end() && !control.text.empty()) {
            MarkStale(control.id, last->second);
        }
    }
}

std::vector<const Bound*> CNodePage::TrendFields() const {
    std::vector<const Bound*> fields;
    for (const Bound& bound : live_) {
        const bool number = bound.field.codec != node::Codec::Flag &&
                            bound.field.codec != node::Codec::Mode && bound.onText == nullptr;
        if (number && bound.ids[1] == 0) {
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
    const auto it = std::find_if(bounds.begin(), bounds.end(), [id](const Bound& b) {
        return b.ids[0] == id && b.ids[1] == 0 && b.onText == nullptr &&
               b.field.codec != node::Codec::Flag && b.field.codec != node::Codec::Mode;
    });
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
    partSelected_ = false;
    const int reads = nodeReads_;
    ReadConfig();
    if (nodeReads_ != reads) {
        RecordNodeTexts();
        // The node answers again: a failed Write shown until now is old news.
        if (site_ != nullptr) {
            site_->ShowTrouble(NodeTrouble::Write, "");
        }
    }
    SetDlgItemText(res::common::kRead, "Read");
}

void CNodePage::RunWrite() {
    SetDlgItemText(res::common::kWrite, "Wait");
    const int passwordId = PasswordEditId();
    if (passwordId != 0 && !PasswordMatches(passwordId)) {
        ShowMessage(WrongPasswordMessage());
    } else {
        const OperationHold hold(Link());
        partSelected_ = false;
        const int writes = nodeWrites_;
        stored_.clear();
        notWritten_.clear();
        notWrittenIds_.clear();
        writing_ = true;
        WriteConfig();
        writing_ = false;
        // A page that stores its controls itself does not say which of them a step stores:
        // all of them are not written.
        if (!notWritten_.empty() && notWrittenIds_.empty()) {
            for (const platform::ControlState& control : Controls()) {
                notWrittenIds_.push_back(control.id);
            }
        }
        const bool wrote = nodeWrites_ != writes;
        if (wrote) {
            // The controls of a failed step keep the node's state last recorded for them.
            for (const platform::ControlState& control : Controls()) {
                if (std::find(notWrittenIds_.begin(), notWrittenIds_.end(), control.id) ==
                    notWrittenIds_.end()) {
                    RecordNodeText(control.id);
                }
            }
        }
        if (ReadsAfterWrite()) {
            RunRead();
        }
        ReportWrite(wrote);
    }
    if (passwordId != 0 && ClearsPasswordAfterWrite()) {
        SetDlgItemText(passwordId, "");
    }
    SetDlgItemText(res::common::kWrite, "Write");
}

void CNodePage::ReportWrite(bool wrote) {
    for (int id : notWrittenIds_) {
        MarkNotWritten(id);
    }
    if (site_ == nullptr) {
        return;
    }
    if (!notWritten_.empty()) {
        site_->ShowTrouble(NodeTrouble::Write, "Write of " + Caption() + " failed: " +
                                                   Joined(notWritten_) + " not written");
    } else if (wrote) {
        site_->ShowTrouble(NodeTrouble::Write, "");
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
    const bool read = Link().Read(index, buffer.data(), length);
    nodeReads_ += read ? 1 : 0;
    if (!read && refreshing_) {
        failedReads_.push_back(index);
    }
    return read;
}

bool CNodePage::WriteNv(int index, const NvBuffer& buffer, int length) const {
    const bool written = Link().Write(index, buffer.data(), length);
    nodeWrites_ += written ? 1 : 0;
    if (!written && writing_) {
        NoteNotWritten(index);
    }
    stored_.clear();
    return written;
}

void CNodePage::NoteNotWritten(int index) const {
    ++failedWrites_;
    std::string nv = "NV " + std::to_string(index);
    if (index == nv::kPluginCnf && shownPart_ != 0) {
        nv += " (part " + std::to_string(shownPart_) + ")";
    }
    AddOnce(notWritten_, nv);
    notWrittenIds_.insert(notWrittenIds_.end(), stored_.begin(), stored_.end());
}

bool CNodePage::Selected(int part, bool selected) const {
    if (selected) {
        shownPart_ = part;
    } else if (writing_) {
        NoteNotWritten(nv::kPartSelector);
    }
    return selected;
}

int CNodePage::GetSelectedPart() const {
    return PartWindow(Link(), platform::Desktop::Current(), behaviour_.partPauseMs)
        .GetSelectedPart();
}

bool CNodePage::SelectPart(int part) const {
    return Selected(
        part,
        PartWindow(Link(), platform::Desktop::Current(), behaviour_.partPauseMs).SelectPart(part));
}

bool CNodePage::SelectFirst(int part) const {
    return Selected(
        part,
        PartWindow(Link(), platform::Desktop::Current(), behaviour_.partPauseMs).SelectFirst(part));
}

bool CNodePage::ReadFirstPart(int part, NvBuffer& buffer, int length) const {
    return SelectFirst(part) && ReadNv(nv::kPluginCnf, buffer, length);
}

bool CNodePage::ReadNextPart(int part, NvBuffer& buffer, int length) const {
    return SelectPart(part) && ReadNv(nv::kPluginCnf, buffer, length);
}

void CNodePage::DeclareFields(std::span<const Bound> config, std::span<const Bound> live) {
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

bool CNodePage::ReadForStep(const node::Place& place, NvBuffer& bytes, int length) {
    if (place.part == 0) {
        return ReadNv(place.nv, bytes, length);
    }
    const bool first = !partSelected_;
    partSelected_ = true;
    return first ? ReadFirstPart(place.part, bytes, length)
                 : ReadNextPart(place.part, bytes, length);
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
    const int failed = failedWrites_;
    if (!ReadForStep(place, bytes, lengths_.modify)) {
        // A failed selection leaves the whole step unwritten.
        for (const Bound& bound : config_) {
            if (failedWrites_ != failed && bound.field.place == place) {
                notWrittenIds_.insert(notWrittenIds_.end(), bound.ids.begin(), bound.ids.end());
            }
        }
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
    if (field.codec == node::Codec::Mode) {
        ShowMode({id, second, third}, static_cast<int>(node::Value(field, bytes.data())));
    } else if (field.codec != node::Codec::Flag) {
        SetDlgItemText(id, node::Text(field, bytes.data()));
        RecordNodeText(id);
    } else if (bound.onText != nullptr) {
        const bool set = node::FlagSet(field, bytes.data());
        SetDlgItemText(id, set ? bound.onText : bound.offText);
        RecordNodeText(id);
        if (bound.alarm) {
            SetDlgItemColour(id, set ? platform::TextColour::Alarm : platform::TextColour::Normal);
        }
    } else if (second != 0) {
        ShowChoice({id, second}, node::FlagSet(field, bytes.data()) ? 1 : 0);
    } else {
        ShowCheck(id, node::FlagSet(field, bytes.data()));
    }
}

void CNodePage::StoreField(const Bound& bound, NvBuffer& bytes) const {
    const node::Field& field = bound.field;
    const auto& [id, second, third] = bound.ids;
    if (std::none_of(bound.ids.begin(), bound.ids.end(),
                     [this](int control) { return DlgItemSetNumber(control) != 0; })) {
        return;
    }
    stored_.insert(stored_.end(), bound.ids.begin(), bound.ids.end());
    if (field.codec == node::Codec::Mode) {
        node::StoreWord(field, ModeWord({id, second, third}), bytes.data());
    } else if (field.codec != node::Codec::Flag) {
        node::StoreText(field, GetDlgItemText(id), bytes.data());
    } else if (second != 0) {
        node::StoreFlag(field, FirstMarked({id, second}) == 1, bytes.data());
    } else {
        node::StoreFlag(field, IsChecked(id), bytes.data());
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
