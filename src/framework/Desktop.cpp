#include "framework/Desktop.h"

namespace platform {
namespace {

// Per thread: each node of a command that works on many nodes at once runs on a thread of its
// own, with a desktop of its own. The sheet has one thread.
thread_local Desktop* g_current = nullptr;

}  // namespace

Desktop& Desktop::Current() {
    if (g_current == nullptr) {
        // The host sets its desktop before it creates the control; reaching here is a
        // programming error, not a user error.
        std::abort();
    }
    return *g_current;
}

void Desktop::SetCurrent(Desktop* desktop) {
    g_current = desktop;
}

Desktop* Desktop::Installed() {
    return g_current;
}

}  // namespace platform
