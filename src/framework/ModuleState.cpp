#include "framework/ModuleState.h"

namespace platform {
namespace {

ModuleState g_hostState;
// The one UI thread, as the module is registered for apartment threading; thread_local keeps a
// test's helper threads from seeing another thread's module.
thread_local ModuleState* t_current = &g_hostState;

}  // namespace

ModuleState& ModuleState::Current() {
    return *t_current;
}

ManageModuleState::ManageModuleState(ModuleState& state) : previous_(t_current) {
    t_current = &state;
}

ManageModuleState::~ManageModuleState() {
    t_current = previous_;
}

}  // namespace platform
