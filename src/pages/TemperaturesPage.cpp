#include "pages/TemperaturesPage.h"

#include "node/NodeFields.h"

namespace vireo {

namespace {

namespace fields = node::fields;
using namespace res::temperatures;

// The sensor check asks for 31 bytes; the live refresh for 32.
constexpr int kSensorCheckLength = 31;
// A sensor reading below this is missing; exactly -200.0 is a reading.
constexpr double kMissingSensorBelow = -200.0;

PageBehaviour TemperaturesBehaviour() {
    PageBehaviour b = behaviour::RefreshRead();
    b.extrasAfterTimer = true;
    return b;
}

}  // namespace

TemperaturesPage::TemperaturesPage(const TemperaturesTwin& twin)
    : CNodePage(twin.dialogId, twin.captionId, TemperaturesBehaviour()), twin_(twin) {
    const int c = twin.circuit;
    // Read order: the sensor offsets (part 2), the return limits (settings record), then the low
    // forward temperature monitoring (part 3).
    const Bound config[] = {
        Edit(fields::kForwardOffset[c], twin.ids.forwardOffset),
        Edit(fields::kReturnOffset[c], twin.ids.returnOffset),
        Edit(fields::kMaxReturn[c], kMaxReturn),
        Edit(fields::kReturnDeadBand[c], kReturnDeadBand),
        Edit(fields::kLowForwardOffset[c], kLowForwardOffset),
        Edit(fields::kLowForwardDelay[c], kLowForwardDelay),
    };
    const Bound live[] = {
        Edit(fields::kForwardTemperature[c], twin.ids.forwardLive),
        Edit(fields::kReturnTemperature[c], twin.ids.returnLive),
        FlagText(fields::kLowForwardState[c], kLowForwardStatus, "Low temp", "High temp"),
    };
    DeclareFields(config, live);
    // Write stores part 3 before the settings record.
    SetWriteOrder({node::Part(2), node::Part(3), fields::kMaxReturn[c].place});
}

void TemperaturesPage::AfterTimerExtras() {
    const int c = twin_.circuit;
    CheckSensor(fields::kForwardTemperature[c],
                {twin_.ids.forwardLive, twin_.ids.forwardOffset, kLowForwardOffset,
                 kLowForwardDelay, kLowForwardStatus});
    CheckSensor(fields::kReturnTemperature[c],
                {twin_.ids.returnLive, twin_.ids.returnOffset, kMaxReturn, kReturnDeadBand});
}

void TemperaturesPage::CheckSensor(const node::Field& temperature,
                                   std::initializer_list<int> controls) {
    NvBuffer bytes{};
    if (!ReadNv(temperature.place.nv, bytes, kSensorCheckLength)) {
        return;
    }
    const bool present = !(node::Value(temperature, bytes.data()) < kMissingSensorBelow);
    for (int id : controls) {
        EnableDlgItem(id, present);
    }
}

}  // namespace vireo
