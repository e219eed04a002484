#include "pages/ExtendedOperationPage.h"

#include "framework/Desktop.h"
#include "node/NodeFields.h"
#include "res/ExtendedOperationDialogs.h"

namespace vireo {

namespace {

namespace fields = node::fields;
namespace ids = res::extended_operation;

constexpr int kStartPauseMs = 2000;

}  // namespace

ExtendedOperationPage::ExtendedOperationPage(int dialogId, std::size_t circuit)
    : CNodePage(dialogId, dialogId, behaviour::LeavingFocus(behaviour::ReadOnly())),
      delays_{{{ids::kBoostDelay, fields::kBoostDelay[circuit]},
               {ids::kDayDelay, fields::kDayDelay[circuit]},
               {ids::kNightDelay, fields::kNightDelay[circuit]}}} {
    OnClicked(ids::kStartBoost, [this] { StartDelay(delays_[0]); });
    OnClicked(ids::kStartDay, [this] { StartDelay(delays_[1]); });
    OnClicked(ids::kStartNight, [this] { StartDelay(delays_[2]); });
}

void ExtendedOperationPage::ReadConfig() {
    NvBuffer buffer{};
    if (!ReadNv(nv::kExtendedDelays, buffer)) {
        return;
    }
    for (const Delay& delay : delays_) {
        SetDlgItemText(delay.editId, node::Text(delay.field, buffer.data()));
    }
}

void ExtendedOperationPage::WriteConfig() {
    NvBuffer buffer{};
    if (!ReadNv(nv::kExtendedDelays, buffer, nv::kPartSize)) {
        return;
    }
    for (const Delay& delay : delays_) {
        StoreDelay(buffer, delay);
    }
    WriteNv(nv::kExtendedDelays, buffer, nv::kPartSize);
}

void ExtendedOperationPage::StoreDelay(NvBuffer& buffer, const Delay& delay) const {
    node::StoreText(delay.field, GetDlgItemText(delay.editId), buffer.data());
}

void ExtendedOperationPage::StartDelay(const Delay& delay) {
    NvBuffer buffer{};
    if (!ReadNv(nv::kExtendedDelays, buffer)) {
        return;
    }
    node::StoreNumber(delay.field, 0, buffer.data());
    WriteNv(nv::kExtendedDelays, buffer, nv::kPartSize);
    platform::Desktop::Current().Sleep(kStartPauseMs);
    StoreDelay(buffer, delay);
    WriteNv(nv::kExtendedDelays, buffer, nv::kPartSize);
}

}  // namespace vireo
