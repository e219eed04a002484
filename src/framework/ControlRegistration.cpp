#include "framework/ControlRegistration.h"

namespace platform {
namespace {

// The component category of controls.
constexpr const char* kControlCategory = "{40FC6ED4-2438-11CF-A3DB-080036F12502}";

// The keys the standard registration owns below the class ID key.
constexpr const char* kClassSubkeys[] = {
    "ProgID",  "InprocServer32", "ToolboxBitmap32",        "MiscStatus", "Control", "Insertable",
    "TypeLib", "Version",        "Implemented Categories",
};

}  // namespace

std::string ClassKeyPath(const CLSID& clsid) {
    return "CLSID\\" + GuidToString(clsid);
}

void RegisterControlClass(RegistryKey& root, const ControlClass& control) {
    RegistryKey& classes = root.Create(kClassesRoot);
    const std::string clsid = GuidToString(control.clsid);

    classes.Delete(control.progId);
    RegistryKey& progId = classes.Create(control.progId);
    progId.SetDefault(control.userTypeName);
    progId.Create("CLSID").SetDefault(clsid);

    RegistryKey& key = classes.Create(ClassKeyPath(control.clsid));
    for (const char* subkey : kClassSubkeys) {
        key.Delete(subkey);
    }
    key.SetDefault(control.userTypeName);
    key.Create("ProgID").SetDefault(control.progId);
    RegistryKey& server = key.Create("InprocServer32");
    server.SetDefault(control.modulePath);
    server.SetValue("ThreadingModel", "Apartment");
    key.Create("ToolboxBitmap32")
        .SetDefault(control.modulePath + ", " + std::to_string(control.toolboxBitmapId));
    // The misc status of the content aspect, in decimal as the system writes it.
    RegistryKey& misc = key.Create("MiscStatus");
    misc.SetDefault("0");
    misc.Create("1").SetDefault(std::to_string(control.miscStatus));
    key.Create("Control");
    key.Create("Implemented Categories").Create(kControlCategory);
    if (control.insertable) {
        key.Create("Insertable");
        progId.Create("Insertable");
    }
    key.Create("TypeLib").SetDefault(GuidToString(control.typeLibraryId));
    key.Create("Version").SetDefault(std::to_string(control.typeLibraryMajor) + "." +
                                     std::to_string(control.typeLibraryMinor));
}

void UnregisterControlClass(RegistryKey& root, const CLSID& clsid, const std::string& progId) {
    RegistryKey* classes = root.Find(kClassesRoot);
    if (classes == nullptr) {
        return;
    }
    classes->Delete(ClassKeyPath(clsid));
    classes->Delete(progId);
}

}  // namespace platform
