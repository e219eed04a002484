#pragma once
// The standard registration of a control class below HKEY_CLASSES_ROOT: the ProgID key pointing
// at the class ID, and the class ID key with the user type name, the module, its threading
// model, toolbox bitmap, misc status, type library and the control marker.

#include <cstdint>
#include <string>

#include "framework/Com.h"
#include "framework/Registry.h"

namespace platform {

struct ControlClass {
    CLSID clsid{};
    std::string progId;
    std::string userTypeName;
    std::string modulePath;
    int toolboxBitmapId = 1;
    std::uint32_t miscStatus = 0;
    GUID typeLibraryId{};
    int typeLibraryMajor = 1;
    int typeLibraryMinor = 0;
    bool insertable = false;
};

// "CLSID\{...}", the class ID's key below the classes root.
std::string ClassKeyPath(const CLSID& clsid);

// Writes the class's keys, replacing what an earlier registration left under them (keys of
// the module's own below the class ID key, such as the node kind's, are kept).
void RegisterControlClass(RegistryKey& root, const ControlClass& control);
// Removes the class ID key with everything below it, and the ProgID key.
void UnregisterControlClass(RegistryKey& root, const CLSID& clsid, const std::string& progId);

}  // namespace platform
