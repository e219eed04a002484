#pragma once
// The module: its framework state, the class object of the control, and self-registration with
// the type library and the key that tells the host tool which node kind the plug-in serves.

#include <string>

#include "framework/ClassFactory.h"
#include "framework/ModuleState.h"
#include "framework/Registry.h"

namespace vireo {

// The module's framework state: its resources, and its live objects and server locks.
platform::ModuleState& ModuleState();
// The class object that makes CVireoCtrl.
platform::COleObjectFactory& ControlFactory();

// S_OK when no object and no lock of the module is alive, otherwise S_FALSE.
HRESULT CanUnloadNow();
// The class object for the control's class ID; CLASS_E_CLASSNOTAVAILABLE for any other.
HRESULT GetClassObject(const CLSID& clsid, const IID& iid, void** object);

// Registers the type library, the control class and the node kind's key in one transaction on
// the registry file, recording modulePath as the module that serves the class. 0 when every
// key and value was written; SELFREG_E_TYPELIB when the registry cannot be read (nothing is
// written); SELFREG_E_CLASS when it cannot be written (the file stays as it was).
HRESULT RegisterServer(const platform::RegistryFile& registry, const std::string& modulePath);
// Removes all of it in one transaction; keys already absent are nothing to remove. 0, or
// SELFREG_E_TYPELIB when the registry cannot be read or written.
HRESULT UnregisterServer(const platform::RegistryFile& registry);

// The node kind's key below the control's class ID key, "Node", with the subkeys "ProgramID"
// (the Program ID text) and "TestID" ("%1").
void WriteProgramIdKey(platform::RegistryKey& root);
void RemoveProgramIdKey(platform::RegistryKey& root);

}  // namespace vireo
