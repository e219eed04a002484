#include "pages/OutdoorTemperaturesPage.h"

#include "node/NodeFields.h"
#include "res/OutdoorDialog.h"

namespace vireo {

namespace {

using namespace res::outdoor;

constexpr Bound kConfig[] = {Edit(node::fields::kOutdoorOffset, kOffset)};
constexpr Bound kLive[] = {Edit(node::fields::kOutdoorSensor, kActual)};

// A measured value below this means that no outdoor sensor is fitted.
constexpr double kNoSensorBelow = -200.0;
constexpr int kSensorCheckLength = 31;

// The measured value is read once per showing: the timer runs but refreshes nothing. The sensor
// check follows the timer step on show and on hide.
PageBehaviour OutdoorBehaviour() {
    PageBehaviour b;
    b.refreshOnShow = true;
    b.readOnShow = true;
    b.timer = true;
    b.extrasAfterTimer = true;
    return b;
}

}  // namespace

// Part 2 is read with 32 bytes on Read and on the read of a Write.
OutdoorTemperaturesPage::OutdoorTemperaturesPage() : CNodePage(227, 263, OutdoorBehaviour()) {
    DeclareFields(kConfig, kLive);
    SetReadLengths({.read = nv::kBufferSize, .modify = nv::kBufferSize});
}

// The sensor check: both edits enabled from -200.0 up, disabled below; kept on a failed read.
void OutdoorTemperaturesPage::AfterTimerExtras() {
    NvBuffer bytes{};
    if (!ReadNv(nv::kOutdoorSensor, bytes, kSensorCheckLength)) {
        return;
    }
    const bool fitted = node::Value(node::fields::kOutdoorSensor, bytes.data()) >= kNoSensorBelow;
    EnableDlgItem(kActual, fitted);
    EnableDlgItem(kOffset, fitted);
}

}  // namespace vireo
