#include "pages/StatusSwitchPage.h"

#include <array>

#include "codecs/NumericCodec.h"
#include "res/StatusSwitchDialogs.h"

namespace vireo {

namespace {

using namespace res::status_switch;

// Live reads, the Write's gate read and the Read of the override ask for these lengths; the
// override variable itself is these two bytes.
constexpr int kLiveLength = 32;
constexpr int kGateLength = 32;
constexpr int kReadLength = 31;
constexpr int kOverrideSize = 2;

// Override codes, in radio order; 255 hands control back to the rotary switch.
constexpr int kCodeOff = 4;
constexpr int kCodeNone = 255;
// Written when no radio is marked.
constexpr int kCodeUnmarked = 0;
constexpr std::array<int, 7> kCodes = {1, 2, 3, kCodeOff, 5, 6, kCodeNone};
constexpr int kManualSwitchIndex = 6;
const std::initializer_list<int> kOverrideRadios = {kBoost, kNight,    kDay,         kOff,
                                                    kAuto,  kOccupied, kManualSwitch};

// The switch position at which the override radios are locked.
constexpr int kPositionOff = 4;

}  // namespace

StatusSwitchPage::StatusSwitchPage(const StatusSwitchTwin& twin)
    : CNodePage(twin.dialogId, twin.captionId, behaviour::LeavingFocus(behaviour::RefreshRead())),
      twin_(twin) {
    MakeRadioGroup(kOverrideRadios);
}

const char* StatusSwitchPage::SwitchPositionText(int position) {
    static constexpr std::array<const char*, 7> kTexts = {"??",  "Boost",    "Night",    "Day",
                                                          "Off", "Calender", "Occupancy"};
    return position >= 1 && position < static_cast<int>(kTexts.size()) ? kTexts[position] : "??";
}

const char* StatusSwitchPage::UnitModeText(int mode) {
    // The HVAC modes of the node's unit, in the order of their codes.
    static constexpr std::array<const char*, 15> kTexts = {"Auto",
                                                           "Heating",
                                                           "Morning warm-up",
                                                           "Cooling",
                                                           "Night purge",
                                                           "Pre-cool",
                                                           "Off",
                                                           "Test",
                                                           "Emergency heat",
                                                           "Fan only",
                                                           "Free cooling",
                                                           "Ice-making",
                                                           "Max heating",
                                                           "Economic heat/cool",
                                                           "Dehumidification"};
    return mode >= 0 && mode < static_cast<int>(kTexts.size()) ? kTexts[mode] : "??";
}

void StatusSwitchPage::Refresh() {
    const codecs::NumericCodec codec;
    NvBuffer position{};
    if (ReadNv(twin_.switchNv, position, kLiveLength)) {
        SetDlgItemText(kSwitchPosition,
                       SwitchPositionText(codec.MakeWord(position[0], position[1])));
    }
    NvBuffer unit{};
    if (ReadNv(twin_.unitModeNv, unit, kLiveLength)) {
        SetDlgItemText(kUnitMode, UnitModeText(codec.SignedByte(unit[0])));
    }
    RefreshRadioEnabling();
}

// While the switch stands at Off the override cannot be changed; an override that is itself
// Off leaves the radios as they are.
void StatusSwitchPage::RefreshRadioEnabling() {
    const codecs::NumericCodec codec;
    NvBuffer code{};
    if (!ReadNv(twin_.overrideNv, code, kLiveLength) ||
        codec.MakeWord(code[0], code[1]) == kCodeOff) {
        return;
    }
    NvBuffer position{};
    const bool atOff = ReadNv(twin_.switchNv, position, kLiveLength) &&
                       codec.MakeWord(position[0], position[1]) == kPositionOff;
    for (int id : kOverrideRadios) {
        EnableDlgItem(id, !atOff);
    }
}

void StatusSwitchPage::ReadConfig() {
    const codecs::NumericCodec codec;
    NvBuffer code{};
    if (!ReadNv(twin_.overrideNv, code, kReadLength)) {
        return;
    }
    const int value = codec.MakeWord(code[0], code[1]);
    int index = kManualSwitchIndex;  // 0, 255 and every unknown code
    for (int i = 0; i < kManualSwitchIndex; ++i) {
        if (kCodes[i] == value) {
            index = i;
        }
    }
    ShowChoice(kOverrideRadios, index);
}

void StatusSwitchPage::WriteConfig() {
    // The gate read only makes sure the node answers.
    NvBuffer gate{};
    if (!ReadNv(twin_.overrideNv, gate, kGateLength)) {
        return;
    }
    const int marked = FirstMarked(kOverrideRadios);
    const int code = marked < 0 ? kCodeUnmarked : kCodes[marked];
    const codecs::NumericCodec codec;
    NvBuffer buffer{};
    buffer[0] = static_cast<std::uint8_t>(codec.HighByte(code));
    buffer[1] = static_cast<std::uint8_t>(codec.LowByte(code));
    WriteNv(twin_.overrideNv, buffer, kOverrideSize);
}

}  // namespace vireo
