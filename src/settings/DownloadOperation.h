#pragma once
// Download of a settings file into the node ("Read from file" on the Import / Export page, and
// `vireo download`): the password gate, the open dialog, the confirmation, the Program ID
// questions, the writes through the part window and the closing message.

#include <string>

#include "node/NodeLink.h"
#include "settings/OperationReport.h"

namespace platform {
class Desktop;
}

namespace settings {

class DownloadOperation {
public:
    DownloadOperation(const NodeLink& link, platform::Desktop& desktop)
        : link_(link), desktop_(desktop) {}

    // password: the text of edit 226; initialFileName: the text of edit 428.
    OperationReport Run(const std::string& password, const std::string& initialFileName);

private:
    NodeLink link_;
    platform::Desktop& desktop_;
};

}  // namespace settings
