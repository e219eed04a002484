#include "pages/AntifrostPage.h"

#include "node/NodeFields.h"
#include "res/AntifrostDialogs.h"

namespace vireo {

namespace {

using namespace res::antifrost;
namespace fields = node::fields;

constexpr Bound kConfig[] = {
    Check(fields::kFrostProtection, kAntifrost),
    Edit(fields::kFrostStart, kOutdoorStart),
    Edit(fields::kFrostStop, kOutdoorStop),
    Edit(fields::kFrostReturn, kReturnTemperature),
};
constexpr Bound kLive[] = {
    Edit(fields::kOutdoorTemperature, kActualOutdoor),
    FlagText(fields::kFrostHeating, kStatus, "Heat", "Off"),
};

}  // namespace

// Write stores the flag into part 1 and the three temperatures into part 2, the latter also
// while their edits are disabled, then reads both parts again.
AntifrostPage::AntifrostPage() : CNodePage(216, 251, behaviour::RefreshReadExtras()) {
    DeclareFields(kConfig, kLive);
    // The temperature edits and the live edits are enabled while "Antifrost" is ticked.
    EnableWhile(kAntifrost,
                {kOutdoorStart, kOutdoorStop, kReturnTemperature, kActualOutdoor, kStatus});
}

// The enabling rule runs between the two parts, whether or not part 1 could be read.
void AntifrostPage::ReadConfig() {
    ReadPlace(node::Part(1));
    ApplyRulesOf(kAntifrost);
    ReadPlace(node::Part(2));
}

void AntifrostPage::ShowExtras() {
    ApplyRulesOf(kAntifrost);
}

}  // namespace vireo
