#include "res/Dialogs.h"

namespace res {

using platform::ControlKind;

// Node Information: the node's name and the variant buttons.
platform::DialogTemplate Dialog200() {
    return {200,
            "Node Information",
            {
                {.id = 231, .kind = ControlKind::ReadOnlyEdit, .group = "Nodename"},
                {.id = 234, .kind = ControlKind::PushButton, .text = "VI1", .disabled = true},
                {.id = 235, .kind = ControlKind::PushButton, .text = "VI2"},
            }};
}

}  // namespace res
