#include "pages/ConstantTemperaturesPage.h"

#include "node/NodeFields.h"
#include "res/SettingsTemperaturesDialogs.h"

namespace vireo {

namespace fields = node::fields;
namespace ids = res::settings_temperatures;

ConstantTemperaturesPage::ConstantTemperaturesPage()
    : CNodePage(229, 256, behaviour::RefreshRead()) {
    // Part 1 before NV 38, on Read and on Write.
    const Bound config[] = {
        Check(fields::kNightLowering2, ids::kNightLowering),
        Edit(fields::kConstantDay[1], ids::kConstantDay),
        Edit(fields::kConstantNight[1], ids::kConstantNight),
    };
    const Bound live[] = {Edit(fields::kForwardTemperature[1], ids::kActualForward)};
    DeclareFields(config, live);
    OnClicked(ids::kNightLowering, [this] { ApplyNightRule(); });
}

void ConstantTemperaturesPage::ReadConfig() {
    ReadPlace(node::Part(1));
    ApplyNightRule();
    ReadPlace(fields::kTempRecord[1]);
}

void ConstantTemperaturesPage::ApplyNightRule() {
    EnableDlgItem(ids::kConstantNight, IsChecked(ids::kNightLowering));
}

}  // namespace vireo
