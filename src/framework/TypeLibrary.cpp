#include "framework/TypeLibrary.h"

#include <strings.h>
#include <cstdio>
#include <filesystem>

namespace platform {
namespace {

// The proxy of dispatch interfaces, which marshals every dispinterface.
constexpr const char* kDispatchProxy = "{00020420-0000-0000-C000-000000000046}";
constexpr unsigned kLibraryControlFlag = 0x2;

std::string Version(int major, int minor) {
    return std::to_string(major) + "." + std::to_string(minor);
}

std::string LocaleText(unsigned locale) {
    char text[16];
    std::snprintf(text, sizeof text, "%x", locale);
    return text;
}

std::string Markers(const TypeDescription& type) {
    std::string markers;
    const auto add = [&markers](bool on, const char* marker) {
        if (on) {
            markers += markers.empty() ? marker : std::string(" ") + marker;
        }
    };
    add(type.hidden, "hidden");
    add(type.creatable, "creatable");
    add(type.control, "control");
    return markers;
}

void RecordType(RegistryKey& types, const TypeDescription& type) {
    RegistryKey& key = types.Create(type.name);
    key.SetDefault(type.help);
    key.SetValue("Kind", type.kind == TypeKind::CoClass ? "coclass" : "dispinterface");
    key.SetValue("ID", GuidToString(type.id));
    if (const std::string markers = Markers(type); !markers.empty()) {
        key.SetValue("Flags", markers);
    }
    for (const TypeMember& member : type.members) {
        RegistryKey& m = key.Create(member.name);
        m.SetValue("DISPID", std::to_string(member.dispId));
        if (!member.help.empty()) {
            m.SetDefault(member.help);
        }
    }
    for (const ImplementedType& implemented : type.implemented) {
        std::string role = implemented.isSource ? "source" : "interface";
        if (implemented.isDefault) {
            role = "default " + role;
        }
        key.SetValue(implemented.name, role);
    }
}

void RecordInterface(RegistryKey& classes, const TypeLibrary& library,
                     const TypeDescription& type) {
    const std::string path = "Interface\\" + GuidToString(type.id);
    classes.Delete(path);
    RegistryKey& key = classes.Create(path);
    key.SetDefault(type.name);
    key.Create("ProxyStubClsid32").SetDefault(kDispatchProxy);
    RegistryKey& typeLib = key.Create("TypeLib");
    typeLib.SetDefault(GuidToString(library.id));
    typeLib.SetValue("Version", Version(library.major, library.minor));
}

}  // namespace

const TypeDescription* TypeLibrary::Find(const std::string& typeName) const {
    for (const TypeDescription& type : types) {
        if (strcasecmp(type.name.c_str(), typeName.c_str()) == 0) {
            return &type;
        }
    }
    return nullptr;
}

const TypeMember* FindMember(const TypeDescription& type, const std::string& name) {
    for (const TypeMember& member : type.members) {
        if (strcasecmp(member.name.c_str(), name.c_str()) == 0) {
            return &member;
        }
    }
    return nullptr;
}

std::string TypeLibraryKeyPath(const GUID& id, int major, int minor) {
    return "TypeLib\\" + GuidToString(id) + "\\" + Version(major, minor);
}

void RegisterTypeLibrary(RegistryKey& root, const TypeLibrary& library,
                         const std::string& modulePath) {
    RegistryKey& classes = root.Create(kClassesRoot);
    const std::string path = TypeLibraryKeyPath(library.id, library.major, library.minor);
    classes.Delete(path);
    RegistryKey& version = classes.Create(path);
    version.SetDefault(library.help);
    version.SetValue("Name", library.name);
    if (!library.helpFile.empty()) {
        version.SetValue("HelpFile", library.helpFile);
    }
    version.Create("FLAGS").SetDefault(std::to_string(library.control ? kLibraryControlFlag : 0u));
    // No separate help folder: the help file sits beside the module.
    version.Create("HELPDIR").SetDefault(std::filesystem::path(modulePath).parent_path().string());
    version.Create(LocaleText(library.locale) + "\\linux").SetDefault(modulePath);
    RegistryKey& types = version.Create("Types");
    for (const TypeDescription& type : library.types) {
        RecordType(types, type);
        if (type.kind == TypeKind::DispatchInterface) {
            RecordInterface(classes, library, type);
        }
    }
}

void UnregisterTypeLibrary(RegistryKey& root, const TypeLibrary& library) {
    RegistryKey* classes = root.Find(kClassesRoot);
    if (classes == nullptr) {
        return;
    }
    const std::string libraryPath = "TypeLib\\" + GuidToString(library.id);
    classes->Delete(TypeLibraryKeyPath(library.id, library.major, library.minor));
    if (const RegistryKey* key = classes->Find(libraryPath); key != nullptr && key->Empty()) {
        classes->Delete(libraryPath);
    }
    for (const TypeDescription& type : library.types) {
        const std::string path = "Interface\\" + GuidToString(type.id);
        const RegistryKey* typeLib = classes->Find(path + "\\TypeLib");
        if (typeLib != nullptr && typeLib->Default() == GuidToString(library.id)) {
            classes->Delete(path);
        }
    }
}

}  // namespace platform
