#include "pages/ExtendedOperationPage.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

#include "codecs/HourMinuteText.h"
#include "codecs/NumericCodec.h"
#include "framework/Desktop.h"
#include "res/ExtendedOperationDialogs.h"

namespace vireo {

namespace {

// Bytes of one delay: hours word, minutes word.
constexpr int kDelaySize = 4;
constexpr int kStartPauseMs = 2000;
constexpr int kDelayEdits[] = {res::extended_operation::kBoostDelay,
                               res::extended_operation::kDayDelay,
                               res::extended_operation::kNightDelay};

}  // namespace

ExtendedOperationPage::ExtendedOperationPage(int dialogId, int firstDelayByte)
    : CNodePage(dialogId, dialogId, behaviour::LeavingFocus(behaviour::ReadOnly())),
      firstDelayByte_(firstDelayByte) {
    OnClicked(res::extended_operation::kStartBoost,
              [this] { StartDelay(res::extended_operation::kBoostDelay); });
    OnClicked(res::extended_operation::kStartDay,
              [this] { StartDelay(res::extended_operation::kDayDelay); });
    OnClicked(res::extended_operation::kStartNight,
              [this] { StartDelay(res::extended_operation::kNightDelay); });
}

int ExtendedOperationPage::DelayByte(int editId) const {
    const auto position = std::find(std::begin(kDelayEdits), std::end(kDelayEdits), editId);
    return firstDelayByte_ + static_cast<int>(position - std::begin(kDelayEdits)) * kDelaySize;
}

void ExtendedOperationPage::ReadConfig() {
    NvBuffer buffer{};
    if (!ReadNv(nv::kExtendedDelays, buffer)) {
        return;
    }
    codecs::NumericCodec codec;
    for (int editId : kDelayEdits) {
        const int at = DelayByte(editId);
        SetDlgItemText(editId,
                       codecs::FormatHourMinute(codec.MakeWord(buffer[at], buffer[at + 1]),
                                                codec.MakeWord(buffer[at + 2], buffer[at + 3])));
    }
}

void ExtendedOperationPage::WriteConfig() {
    NvBuffer buffer{};
    if (!ReadNv(nv::kExtendedDelays, buffer, nv::kPartSize)) {
        return;
    }
    for (int editId : kDelayEdits) {
        StoreDelay(buffer, editId);
    }
    WriteNv(nv::kExtendedDelays, buffer, nv::kPartSize);
}

void ExtendedOperationPage::StoreDelay(NvBuffer& buffer, int editId) const {
    const codecs::HourMinute delay = codecs::ParseHourMinute(GetDlgItemText(editId));
    codecs::NumericCodec codec;
    const int at = DelayByte(editId);
    buffer[at] = static_cast<std::uint8_t>(codec.HighByte(delay.hours));
    buffer[at + 1] = static_cast<std::uint8_t>(codec.LowByte(delay.hours));
    buffer[at + 2] = static_cast<std::uint8_t>(codec.IntHighByte(delay.minutes));
    buffer[at + 3] = static_cast<std::uint8_t>(codec.IntLowByte(delay.minutes));
}

void ExtendedOperationPage::StartDelay(int editId) {
    NvBuffer buffer{};
    if (!ReadNv(nv::kExtendedDelays, buffer)) {
        return;
    }
    const int at = DelayByte(editId);
    std::fill_n(buffer.begin() + at, kDelaySize, std::uint8_t{0});
    WriteNv(nv::kExtendedDelays, buffer, nv::kPartSize);
    platform::Desktop::Current().Sleep(kStartPauseMs);
    StoreDelay(buffer, editId);
    WriteNv(nv::kExtendedDelays, buffer, nv::kPartSize);
}

}  // namespace vireo
