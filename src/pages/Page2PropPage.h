#pragma once

#include "pages/ImportExportPage.h"

namespace vireo {

// The Import / Export page under the name that the sheet and the registry know.
class CPage2PropPage : public ImportExportPage {};

}  // namespace vireo
