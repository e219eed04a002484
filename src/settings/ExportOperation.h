#pragma once
// Export of the node's configuration to a settings file ("Save to file" on the Import / Export
// page, and `vireo export`). Everything but the page's widgets: the save dialog, the overwrite
// question, the reads through the part window, the file and the closing message.

#include <string>

#include "node/NodeLink.h"
#include "settings/OperationReport.h"
#include "settings/SettingsFile.h"

namespace platform {
class Desktop;
}

namespace settings {

// The export's reads, for the export itself and for comparisons with the node: the node name,
// then the 19 blocks in file order, parts through the part window with its pauses, with
// progress per block. A block whose read failed holds nothing.
struct NodeReading {
    SettingsFile::Contents contents;
    int readErrors = 0;
    std::vector<ItemReport> items;  // each block, read or failed
};
NodeReading ReadNodeConfiguration(const NodeLink& link, platform::Desktop& desktop);

class ExportOperation {
public:
    ExportOperation(const NodeLink& link, platform::Desktop& desktop)
        : link_(link), desktop_(desktop) {}

    // initialFileName: the text of edit 428, offered by the save dialog.
    OperationReport Run(const std::string& initialFileName);

private:
    NodeLink link_;
    platform::Desktop& desktop_;
};

}  // namespace settings
