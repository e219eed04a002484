#include "calendar/SetTimePage.h"

#include <algorithm>

#include "calendar/CalendarPage.h"
#include "codecs/SettingsFileCodec.h"
#include "framework/Desktop.h"
#include "node/NodeClock.h"
#include "res/SetTimeDialog.h"

namespace vireo {

using namespace res::set_time;

// Refreshes on show and on every tick of timer 1; the page has no Read.
SetTimePage::SetTimePage() : CNodePage(203, 203, behaviour::LeavingFocus(behaviour::Refresh())) {
    OnClicked(kSync, [this] { Sync(); });
}

// A failed read of the node's clock leaves its fields as they were. The PC's date and time
// come from one reading of its clock, so that the two never straddle midnight.
void SetTimePage::Refresh() {
    NvBuffer bytes{};
    if (ReadNv(nv::kClockRead, bytes)) {
        ShowNodeClock(*this, bytes);
    }
    const platform::DateTime now = platform::Desktop::Current().Now();
    const codecs::SettingsFileCodec codec;
    SetDlgItemText(kPcDate, codec.FormatExportDate(now.year, now.month, now.day));
    SetDlgItemText(kPcTime, codec.FormatExportTime(now.hour, now.minute, now.second));
}

// The node's clock record from one reading of the PC's clock, written to NV 0; the next
// refresh shows the node's new time. The write's result is not examined.
void SetTimePage::Sync() {
    const auto record = node::NodeClockRecord::Bytes(
        node::NodeClockRecord::FromPc(platform::Desktop::Current().Now()));
    NvBuffer bytes{};
    std::copy(record.begin(), record.end(), bytes.begin());
    WriteNv(nv::kClockWrite, bytes, static_cast<int>(record.size()));
}

}  // namespace vireo
