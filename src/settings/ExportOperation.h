#pragma once
// Export of the node's configuration to a settings file ("Save to file" on the Import / Export
// page, and `vireo export`). Everything but the page's widgets: the save dialog, the overwrite
// question, the reads through the part window, the file and the closing message.

#include <optional>
#include <string>

#include "node/NodeLink.h"
#include "settings/SettingsFile.h"

namespace platform {
class Desktop;
}

namespace settings {

struct ExportResult {
    // The path chosen in the save dialog, for edit 428; nothing when the dialog was cancelled.
    std::optional<std::string> path;
    // The node name read for the file, for edit 231 (empty when the read failed); nothing when
    // the export stopped before reading the node.
    std::optional<std::string> nodeName;
    bool written = false;  // the file now holds the export
    int readErrors = 0;
    bool completed = false;  // written, and every read succeeded
    std::string message;     // the closing message shown; empty when none was shown
};

// The export's reads, for the export itself and for comparisons with the node: the node name,
// then the 19 blocks in file order, parts through the part window with its pauses, with
// progress per block. A block whose read failed holds nothing.
struct NodeReading {
    SettingsFile::Contents contents;
    int readErrors = 0;
};
NodeReading ReadNodeConfiguration(const NodeLink& link, platform::Desktop& desktop);

class ExportOperation {
public:
    ExportOperation(const NodeLink& link, platform::Desktop& desktop)
        : link_(link), desktop_(desktop) {}

    // initialFileName: the text of edit 428, offered by the save dialog.
    ExportResult Run(const std::string& initialFileName);

private:
    NodeLink link_;
    platform::Desktop& desktop_;
};

}  // namespace settings
