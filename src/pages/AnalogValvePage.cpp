#include "pages/AnalogValvePage.h"

#include "codecs/BitCodec.h"
#include "codecs/NumericCodec.h"

namespace vireo {

namespace {

constexpr const char* kOutputFormat = "%.0f";

// A flag of a stored flag byte, addressed by its index in the mirrored byte.
bool GetFlag(std::uint8_t stored, int n) {
    codecs::BitCodec bits;
    return bits.GetBit(bits.ReverseBits(stored), n) == 1;
}

void SetFlag(std::uint8_t& stored, int n, bool on) {
    codecs::BitCodec bits;
    const int mirrored = bits.ReverseBits(stored);
    stored = static_cast<std::uint8_t>(
        bits.ReverseBits(on ? bits.SetBit(mirrored, n) : bits.ClearBit(mirrored, n)));
}

void StoreWord(NvBuffer& buffer, int highByte, int word) {
    codecs::NumericCodec codec;
    buffer[highByte] = static_cast<std::uint8_t>(codec.IntHighByte(word));
    buffer[highByte + 1] = static_cast<std::uint8_t>(codec.IntLowByte(word));
}

}  // namespace

AnalogValvePage::AnalogValvePage(const AnalogValveTwin& twin)
    : CNodePage(twin.dialogId, twin.dialogId,
                behaviour::LeavingFocus(behaviour::RefreshReadExtras())),
      twin_(twin) {
    for (const AnalogValve* valve : {&twin_.first, &twin_.second}) {
        const res::analog_valve::AnalogValveControlIds& ids = valve->ids;
        OnClicked(ids.off, [this, valve] { ShowValveMode(*valve, nv::kModeOff); });
        OnClicked(ids.manual, [this, valve] { ShowValveMode(*valve, nv::kModeManual); });
        OnClicked(ids.automatic, [this, valve] { ShowValveMode(*valve, nv::kModeAutomatic); });
        MakeRadioGroup({ids.volts0to10, ids.volts2to10});
    }
    OnClicked(res::analog_valve::kCascade, [this] { ApplyCascadeRule(); });
}

void AnalogValvePage::Refresh() {
    codecs::NumericCodec codec;
    for (const AnalogValve* valve : {&twin_.first, &twin_.second}) {
        NvBuffer buffer{};
        if (ReadNv(valve->liveNv, buffer)) {
            ShowNumber(valve->ids.out, codec.WordHalfHundredths(buffer[0], buffer[1]),
                       kOutputFormat);
        }
    }
}

void AnalogValvePage::ReadConfig() {
    codecs::NumericCodec codec;
    NvBuffer part1{};
    if (ReadFirstPart(nv::kValveFlagsPart, part1, nv::kBufferSize)) {
        ShowFlags(part1);
    }
    // Each valve's mode word and manual output come from a read of their own.
    for (const AnalogValve* valve : {&twin_.first, &twin_.second}) {
        NvBuffer modes{};
        if (ReadNv(nv::kModeWords, modes)) {
            ShowValveMode(*valve,
                          codec.MakeWord(modes[valve->modeByte], modes[valve->modeByte + 1]));
        }
    }
    for (const AnalogValve* valve : {&twin_.first, &twin_.second}) {
        NvBuffer outputs{};
        if (ReadNv(nv::kManualOutputs, outputs)) {
            ShowNumber(valve->ids.in, codec.ByteHalves(outputs[valve->manualByte]), kOutputFormat);
        }
    }
    NvBuffer part6{};
    if (ReadNextPart(nv::kCascadeOutputPart, part6, nv::kBufferSize)) {
        ShowNumber(res::analog_valve::kCascadeOutput,
                   codec.ByteHalves(part6[twin_.cascadeOutputByte]), kOutputFormat);
    }
}

void AnalogValvePage::WriteConfig() {
    codecs::NumericCodec codec;
    // Each step is a read-modify-write of its own; a step whose read fails writes nothing and
    // the others still run. The manual outputs are stored whether or not their edits are enabled.
    NvBuffer outputs{};
    if (ReadNv(nv::kManualOutputs, outputs, nv::kPartSize)) {
        for (const AnalogValve* valve : {&twin_.first, &twin_.second}) {
            outputs[valve->manualByte] =
                static_cast<std::uint8_t>(codec.ToHalfSteps(TypedNumber(valve->ids.in)));
        }
        WriteNv(nv::kManualOutputs, outputs, nv::kPartSize);
    }
    NvBuffer modes{};
    if (ReadNv(nv::kModeWords, modes, nv::kPartSize)) {
        for (const AnalogValve* valve : {&twin_.first, &twin_.second}) {
            StoreWord(modes, valve->modeByte, ValveModeWord(*valve));
        }
        WriteNv(nv::kModeWords, modes, nv::kPartSize);
    }
    NvBuffer part1{};
    if (ReadFirstPart(nv::kValveFlagsPart, part1)) {
        StoreFlags(part1);
        WritePart(part1);
    }
    NvBuffer part6{};
    if (ReadNextPart(nv::kCascadeOutputPart, part6)) {
        part6[twin_.cascadeOutputByte] = static_cast<std::uint8_t>(
            codec.ToHalfSteps(TypedNumber(res::analog_valve::kCascadeOutput)));
        WritePart(part6);
    }
}

// Showing the page ends with the modes the node holds: the read routine has just applied the
// cascade rule and then the mode words of NV 25, so the extra step on show only repeats the
// rule's enabling and leaves the second valve's mode as read. A Write right after showing the
// page therefore stores the node's own modes back.
void AnalogValvePage::ShowExtras() {
    EnableCascadeControls();
}

void AnalogValvePage::ShowValveMode(const AnalogValve& valve, int word) {
    ShowMode({valve.ids.off, valve.ids.manual, valve.ids.automatic}, word);
    EnableDlgItem(valve.ids.in, word == nv::kModeManual);
}

int AnalogValvePage::ValveModeWord(const AnalogValve& valve) const {
    return ModeWord({valve.ids.off, valve.ids.manual, valve.ids.automatic});
}

void AnalogValvePage::EnableCascadeControls() {
    const bool on = IsChecked(res::analog_valve::kCascade);
    const res::analog_valve::AnalogValveControlIds& ids = twin_.second.ids;
    for (int id : {ids.off, ids.manual, ids.automatic, ids.volts0to10, ids.volts2to10, ids.invert,
                   ids.out, res::analog_valve::kCascadeOutput}) {
        EnableDlgItem(id, on);
    }
}

void AnalogValvePage::ApplyCascadeRule() {
    EnableCascadeControls();
    ShowValveMode(twin_.second, nv::kModeAutomatic);
}

void AnalogValvePage::ShowFlags(const NvBuffer& part1) {
    ShowCheck(res::analog_valve::kCascade, GetFlag(part1[nv::kCascadeFlagsByte], twin_.cascadeBit));
    ApplyCascadeRule();
    for (const AnalogValve* valve : {&twin_.first, &twin_.second}) {
        const bool twoToTen = GetFlag(part1[nv::kVoltageFlagsByte], valve->flagBit);
        ShowChoice({valve->ids.volts0to10, valve->ids.volts2to10}, twoToTen ? 1 : 0);
        ShowCheck(valve->ids.invert, GetFlag(part1[nv::kInvertFlagsByte], valve->flagBit));
    }
}

void AnalogValvePage::StoreFlags(NvBuffer& part1) const {
    SetFlag(part1[nv::kCascadeFlagsByte], twin_.cascadeBit, IsChecked(res::analog_valve::kCascade));
    for (const AnalogValve* valve : {&twin_.first, &twin_.second}) {
        // Set only when "2-10 volt" is the marked radio; neither marked clears it.
        const bool twoToTen = FirstMarked({valve->ids.volts0to10, valve->ids.volts2to10}) == 1;
        SetFlag(part1[nv::kVoltageFlagsByte], valve->flagBit, twoToTen);
        SetFlag(part1[nv::kInvertFlagsByte], valve->flagBit, IsChecked(valve->ids.invert));
    }
}

}  // namespace vireo
