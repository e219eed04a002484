#pragma once

#include "pages/OutdoorTemperaturesPage.h"

namespace vireo {

// The Outdoor Temperatures page under the name that the sheet and the registry know.
class CPage29PropPage : public OutdoorTemperaturesPage {};

}  // namespace vireo
