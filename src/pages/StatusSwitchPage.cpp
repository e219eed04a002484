#include "pages/StatusSwitchPage.h"

#include "node/NodeFields.h"
#include "res/StatusSwitchDialogs.h"

namespace vireo {

namespace {

namespace fields = node::fields;
using namespace res::status_switch;

// Live reads, the Write's gate read and the Read of the override ask for these lengths.
constexpr int kLiveLength = 32;
constexpr int kGateLength = 32;
constexpr int kReadLength = 31;

// Written when no radio is marked.
constexpr int kCodeUnmarked = 0;
// One radio per override code, in the order of the codes' texts; the last hands control back
// to the rotary switch and is marked for every code without a radio of its own.
const std::initializer_list<int> kOverrideRadios = {kBoost, kNight,    kDay,         kOff,
                                                    kAuto,  kOccupied, kManualSwitch};
constexpr int kManualSwitchIndex = static_cast<int>(fields::kOverrideCodes.choices.size()) - 1;
static_assert(fields::kOverrideCodes.choices[kManualSwitchIndex].value == fields::kOverrideNone);

int Word(const node::Field& field, const NvBuffer& bytes) {
    return static_cast<int>(node::Value(field, bytes.data()));
}

}  // namespace

StatusSwitchPage::StatusSwitchPage(const StatusSwitchTwin& twin)
    : CNodePage(twin.dialogId, twin.captionId, behaviour::LeavingFocus(behaviour::RefreshRead())),
      position_(fields::kSwitchPosition[twin.circuit]),
      unitMode_(fields::kUnitMode[twin.circuit]),
      override_(fields::kOverrideCode[twin.circuit]) {
    MakeRadioGroup(kOverrideRadios);
}

void StatusSwitchPage::Refresh() {
    NvBuffer position{};
    if (ReadNv(position_.place.nv, position, kLiveLength)) {
        SetDlgItemText(kSwitchPosition, node::Text(position_, position.data()));
    }
    NvBuffer unit{};
    if (ReadNv(unitMode_.place.nv, unit, kLiveLength)) {
        SetDlgItemText(kUnitMode, node::Text(unitMode_, unit.data()));
    }
    RefreshRadioEnabling();
}

// While the switch stands at Off the override cannot be changed; an override that is itself
// Off leaves the radios as they are.
void StatusSwitchPage::RefreshRadioEnabling() {
    NvBuffer code{};
    if (!ReadNv(override_.place.nv, code, kLiveLength) ||
        Word(override_, code) == fields::kOverrideOff) {
        return;
    }
    NvBuffer position{};
    const bool atOff = ReadNv(position_.place.nv, position, kLiveLength) &&
                       Word(position_, position) == fields::kSwitchOff;
    for (int id : kOverrideRadios) {
        EnableDlgItem(id, !atOff);
    }
}

void StatusSwitchPage::ReadConfig() {
    NvBuffer code{};
    if (!ReadNv(override_.place.nv, code, kReadLength)) {
        return;
    }
    const int index = node::ChoiceIndex(override_, Word(override_, code));
    ShowChoice(kOverrideRadios, index < 0 ? kManualSwitchIndex : index);
}

void StatusSwitchPage::WriteConfig() {
    // The gate read only makes sure the node answers.
    NvBuffer gate{};
    if (!ReadNv(override_.place.nv, gate, kGateLength)) {
        return;
    }
    const int marked = FirstMarked(kOverrideRadios);
    const int code = marked < 0
                         ? kCodeUnmarked
                         : fields::kOverrideCodes.choices[static_cast<std::size_t>(marked)].value;
    // The override variable is the code's two bytes and nothing more.
    NvBuffer buffer{};
    node::StoreNumber(override_, code, buffer.data());
    WriteNv(override_.place.nv, buffer, node::Size(override_));
}

}  // namespace vireo
