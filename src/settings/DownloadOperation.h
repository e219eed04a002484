#pragma once
// Download of a settings file into the node ("Read from file" on the Import / Export page, and
// `vireo download`): the password gate, the open dialog, the confirmation, the Program ID
// questions, the writes through the part window and the closing message.

#include <optional>
#include <string>

#include "node/NodeLink.h"

namespace platform {
class Desktop;
}

namespace settings {

struct DownloadResult {
    bool passwordAccepted = false;
    // The page empties the password edit (after every run that passed the password).
    bool clearPassword = false;
    // The path chosen in the open dialog; nothing when the dialog was not shown or cancelled.
    std::optional<std::string> path;
    bool confirmed = false;    // the user answered Yes to "Download from file to node?"
    bool accepted = false;     // the final accepted flag of the file's Program ID lines
    int writtenVariables = 0;  // variable and part writes that succeeded
    int writeErrors = 0;       // failed writes, part selections included
    // Blocks not written because their value line was too short or too long, or because they
    // were nviPluginCnf blocks beyond part 12, plus a file that could not be read to its end.
    int refusedBlocks = 0;
    int missingValues = 0;   // labels without a value line (nothing to write, not an error)
    bool completed = false;  // "Download completed"
    std::string message;     // the last message shown; empty when none was shown
};

class DownloadOperation {
public:
    DownloadOperation(const NodeLink& link, platform::Desktop& desktop)
        : link_(link), desktop_(desktop) {}

    // password: the text of edit 226; initialFileName: the text of edit 428.
    DownloadResult Run(const std::string& password, const std::string& initialFileName);

private:
    NodeLink link_;
    platform::Desktop& desktop_;
};

}  // namespace settings
