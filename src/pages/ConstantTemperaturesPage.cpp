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
    // The night temperature can be edited only while "Night lowering" is ticked.
    EnableWhile(ids::kNightLowering, {ids::kConstantNight});
}

// The night rule runs between the two steps, whether or not part 1 could be read.
void ConstantTemperaturesPage::ReadConfig() {
    ReadPlace(node::Part(1));
    ApplyRulesOf(ids::kNightLowering);
    ReadPlace(fields::kTempRecord[1]);
}

}  // namespace vireo
