#include "pages/Page33PropPage.h"

#include <initializer_list>

#include "codecs/NumericCodec.h"
#include "res/HotWaterTankDialog.h"

namespace vireo {

namespace {

using namespace res::hot_water_tank;

// Live reads and the Read ask for 32 bytes; the Write reads and writes NV 25's 31 bytes and
// writes the running time's 2.
constexpr int kLiveLength = 32;
constexpr int kReadLength = 32;
constexpr int kModeWordsSize = 31;
constexpr int kRunningTimeSize = 2;

const std::initializer_list<int> kPumpRadios = {kPumpOff, kPumpManual, kPumpAutomatic};
const std::initializer_list<int> kElementRadios = {kElementOff, kElementManual, kElementAutomatic};

}  // namespace

CPage33PropPage::CPage33PropPage() : CNodePage(232, 267, behaviour::RefreshRead()) {
    MakeRadioGroup(kPumpRadios);
    MakeRadioGroup(kElementRadios);
}

// Outputs in half percent steps.
void CPage33PropPage::Refresh() {
    const codecs::NumericCodec codec;
    NvBuffer pump{};
    if (ReadNv(nv::kHotWaterPumpOutput, pump, kLiveLength)) {
        ShowNumber(kPumpOutput, codec.ByteHalves(pump[0]), "%.0f");
    }
    NvBuffer element{};
    if (ReadNv(nv::kHeatingElementOutput, element, kLiveLength)) {
        ShowNumber(kElementOutput, codec.ByteHalves(element[0]), "%.0f");
    }
}

void CPage33PropPage::ReadConfig() {
    const codecs::NumericCodec codec;
    NvBuffer time{};
    if (ReadNv(nv::kTimePump3, time, kReadLength)) {
        // Stored in tenths of a second, shown in whole seconds.
        ShowNumber(kRunningTime, codec.WordDivTen(time[0], time[1]), "%.0f");
    }
    NvBuffer modes{};
    if (ReadNv(nv::kModeWords, modes, kReadLength)) {
        ShowMode(kPumpRadios,
                 codec.MakeWord(modes[nv::kModeHotWaterPump], modes[nv::kModeHotWaterPump + 1]));
        ShowMode(kElementRadios, codec.MakeWord(modes[nv::kModeHeatingElement],
                                                modes[nv::kModeHeatingElement + 1]));
    }
}

// The running time is written as typed, without reading it first; the mode words go back by
// read-modify-write of NV 25. Write does not read the node again.
void CPage33PropPage::WriteConfig() {
    const codecs::NumericCodec codec;
    const double seconds = TypedNumber(kRunningTime);
    NvBuffer time{};
    time[0] = static_cast<std::uint8_t>(codec.TenthsHighByte(seconds));
    time[1] = static_cast<std::uint8_t>(codec.TenthsLowByte(seconds));
    WriteNv(nv::kTimePump3, time, kRunningTimeSize);

    NvBuffer modes{};
    if (!ReadNv(nv::kModeWords, modes, kModeWordsSize)) {
        return;
    }
    // A group with no radio marked writes Automatic.
    const auto store = [&](int offset, int mode) {
        modes[offset] = static_cast<std::uint8_t>(codec.HighByte(mode));
        modes[offset + 1] = static_cast<std::uint8_t>(codec.LowByte(mode));
    };
    store(nv::kModeHotWaterPump, ModeWord(kPumpRadios, nv::kModeAutomatic));
    store(nv::kModeHeatingElement, ModeWord(kElementRadios, nv::kModeAutomatic));
    WriteNv(nv::kModeWords, modes, kModeWordsSize);
}

}  // namespace vireo
