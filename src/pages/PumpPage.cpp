#include "pages/PumpPage.h"

#include <initializer_list>

#include "codecs/BitCodec.h"
#include "res/PumpDialogs.h"

namespace vireo {

namespace {

using namespace res::pump;

// Live reads and the Read of NV 25 ask for 32 bytes; the Write reads and writes NV 25's 31.
constexpr int kLiveLength = 32;
constexpr int kReadLength = 32;
constexpr int kModeWordsSize = 31;

const std::initializer_list<int> kModeRadios = {kOff, kManual, kAutomatic};

// The alarm flags of the pump's alarm byte (bit index 0 is mask 0x80) and their edits.
struct Alarm {
    int bit;
    int editId;
};
constexpr Alarm kAlarms[] = {
    {7, kPumpFault},       // 0x01 pump fault
    {2, kPressFaultStop},  // 0x20 pressure fault with pump stop
    {3, kPressFault},      // 0x10 pressure fault
};

}  // namespace

PumpPage::PumpPage(const PumpTwin& twin)
    : CNodePage(twin.dialogId, twin.captionId, behaviour::LeavingFocus(behaviour::RefreshRead())),
      twin_(twin) {
    MakeRadioGroup(kModeRadios);
}

void PumpPage::Refresh() {
    const codecs::BitCodec codec;
    NvBuffer output{};
    if (ReadNv(twin_.outputNv, output, kLiveLength)) {
        SetDlgItemText(kOutput, codec.SignedByte(output[1]) != 0 ? "ON" : "OFF");
    }
    NvBuffer flags{};
    if (ReadNv(nv::kStatusFlags, flags, kLiveLength)) {
        for (const Alarm& alarm : kAlarms) {
            const bool set = codec.GetBit(flags[twin_.alarmByte], alarm.bit) == 1;
            SetDlgItemText(alarm.editId, set ? "Alarm" : "OK");
        }
    }
}

void PumpPage::ReadConfig() {
    const codecs::NumericCodec codec;
    NvBuffer modes{};
    if (ReadNv(nv::kModeWords, modes, kReadLength)) {
        ShowMode(kModeRadios, codec.MakeWord(modes[twin_.modeOffset], modes[twin_.modeOffset + 1]));
    }
}

void PumpPage::WriteConfig() {
    NvBuffer modes{};
    if (!ReadNv(nv::kModeWords, modes, kModeWordsSize)) {
        return;
    }
    // No radio marked writes Automatic.
    const int mode = ModeWord(kModeRadios, nv::kModeAutomatic);
    const codecs::NumericCodec codec;
    modes[twin_.modeOffset] = static_cast<std::uint8_t>(codec.HighByte(mode));
    modes[twin_.modeOffset + 1] = static_cast<std::uint8_t>(codec.LowByte(mode));
    WriteNv(nv::kModeWords, modes, kModeWordsSize);
}

}  // namespace vireo
