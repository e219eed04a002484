#include "res/Dialogs.h"
#include "res/NodeComparisonDialog.h"

namespace res {

using platform::ControlKind;

// Compare with node: a settings file's values beside the node's, changed rows marked.
platform::DialogTemplate Dialog236() {
    using namespace node_comparison;
    return {kDialog,
            "Compare with node",
            {
                {.id = kSummary, .kind = ControlKind::Static},
                {.id = kTable, .kind = ControlKind::Table},
                {.id = kOk, .kind = ControlKind::DefaultPushButton, .text = "OK"},
            }};
}

}  // namespace res
