#include "control/VireoModule.h"

#include "control/VireoCtrl.h"
#include "framework/ControlRegistration.h"
#include "platform/Strings.h"
#include "res/Resources.h"
#include "res/TypeLibrary.h"

namespace vireo {
namespace {

struct ProgramIdEntry {
    const char* subkey;
    std::string value;
};

// The node kind's key, walked in order: the Program ID text of the node kind the plug-in
// serves, and the test ID the host tool expects beside it (written as it stands).
std::vector<ProgramIdEntry> ProgramIdTable() {
    return {{"ProgramID", CVireoCtrl::GetProgramIdText()}, {"TestID", "%1"}};
}

std::string NodeKeyPath() {
    return platform::ClassKeyPath(CLSID_Vireo) + "\\Node";
}

IUnknown* CreateControl() {
    return static_cast<platform::IOleObject*>(new CVireoCtrl);
}

platform::ControlClass ControlClassOf(const std::string& modulePath) {
    platform::ControlClass control;
    control.clsid = CLSID_Vireo;
    control.progId = kVireoProgId;
    control.userTypeName = platform::LoadString(CVireoCtrl::GetUserTypeNameId());
    control.modulePath = modulePath;
    control.toolboxBitmapId = 1;
    control.miscStatus = kVireoMiscStatus;
    control.typeLibraryId = LIBID_VireoLib;
    control.typeLibraryMajor = 1;
    control.typeLibraryMinor = 0;
    control.insertable = false;
    return control;
}

}  // namespace

platform::ModuleState& ModuleState() {
    static platform::ModuleState state{&res::ModuleResources()};
    return state;
}

platform::COleObjectFactory& ControlFactory() {
    static platform::COleObjectFactory factory(CLSID_Vireo, ModuleState(), &CreateControl);
    return factory;
}

HRESULT CanUnloadNow() {
    return ModuleState().CanUnload() ? S_OK : S_FALSE;
}

HRESULT GetClassObject(const CLSID& clsid, const IID& iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (clsid != ControlFactory().ClassId()) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return ControlFactory().QueryInterface(iid, object);
}

void WriteProgramIdKey(platform::RegistryKey& root) {
    platform::RegistryKey& node = root.Create(platform::kClassesRoot).Create(NodeKeyPath());
    for (const ProgramIdEntry& entry : ProgramIdTable()) {
        node.Create(entry.subkey).SetDefault(entry.value);
    }
}

void RemoveProgramIdKey(platform::RegistryKey& root) {
    platform::RegistryKey& classes = root.Create(platform::kClassesRoot);
    platform::RegistryKey& node = classes.Create(NodeKeyPath());
    for (const ProgramIdEntry& entry : ProgramIdTable()) {
        node.Delete(entry.subkey);
    }
    classes.Delete(NodeKeyPath());
}

HRESULT RegisterServer(const platform::RegistryFile& registry, const std::string& modulePath) {
    platform::ManageModuleState scope(ModuleState());
    // The registry is read before anything is changed; reaching the change means that what
    // fails afterwards is writing the class's keys.
    bool read = false;
    const std::string error = registry.Edit([&](platform::RegistryKey& root) {
        read = true;
        platform::RegisterTypeLibrary(root, res::VireoTypeLibrary(), modulePath);
        WriteProgramIdKey(root);
        platform::RegisterControlClass(root, ControlClassOf(modulePath));
        return true;
    });
    if (error.empty()) {
        return S_OK;
    }
    return read ? SELFREG_E_CLASS : SELFREG_E_TYPELIB;
}

HRESULT UnregisterServer(const platform::RegistryFile& registry) {
    platform::ManageModuleState scope(ModuleState());
    const std::string error = registry.Edit([](platform::RegistryKey& root) {
        platform::UnregisterTypeLibrary(root, res::VireoTypeLibrary());
        RemoveProgramIdKey(root);
        platform::UnregisterControlClass(root, CLSID_Vireo, kVireoProgId);
        return true;
    });
    return error.empty() ? S_OK : SELFREG_E_TYPELIB;
}

}  // namespace vireo
