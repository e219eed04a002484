#pragma once
// The framework state of one module: whose resources the dialog layer's lookups use, and how
// many of the module's objects and server locks are alive. The host process has a state of its
// own; a module's exports and its objects' entry points switch to the module's state for the
// duration of the call, so that a page built inside a call finds the module's dialog
// templates, strings and bitmaps.

namespace platform {

class ResourceTable;

struct ModuleState {
    const ResourceTable* resources = nullptr;
    long objects = 0;  // objects of the module alive
    long locks = 0;    // server locks held by hosts

    // True when the module may be unloaded: no object and no lock alive.
    bool CanUnload() const { return objects == 0 && locks == 0; }

    // The state of the module whose code runs now; the host's own when none.
    static ModuleState& Current();
};

// Switches to a module's state for as long as it lives.
class ManageModuleState {
public:
    explicit ManageModuleState(ModuleState& state);
    ~ManageModuleState();
    ManageModuleState(const ManageModuleState&) = delete;
    ManageModuleState& operator=(const ManageModuleState&) = delete;

private:
    ModuleState* previous_;
};

}  // namespace platform
