#pragma once
// Factory defaults ("Default settings" on the Import / Export page, and `vireo defaults`): the
// password gate, the built-in values written to the seven single configuration variables and
// to all twelve parts of nviPluginCnf, the part window put back to 0, the closing message.

#include <functional>
#include <string>

#include "node/NodeLink.h"
#include "settings/OperationReport.h"

namespace platform {
class Desktop;
}

namespace settings {

class FactoryDefaultsOperation {
public:
    FactoryDefaultsOperation(const NodeLink& link, platform::Desktop& desktop)
        : link_(link), desktop_(desktop) {}

    // password: the text of edit 226.
    OperationReport Run(const std::string& password);

    // Runs after the part window is back at 0 and before the closing message: the page puts
    // its button text back there.
    std::function<void()> beforeClosingMessage;

private:
    NodeLink link_;
    platform::Desktop& desktop_;
};

}  // namespace settings
