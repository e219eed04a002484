#pragma once
// Type library descriptions: the library, its dispatch interfaces with their members, and its
// classes, with IDs and help strings. A module keeps its type library as such a description in
// its resources; registration records it under the library's key, and a control's dispatch
// interface answers names and IDs from it.

#include <string>
#include <vector>

#include "framework/Com.h"
#include "framework/Registry.h"

namespace platform {

struct TypeMember {
    std::string name;
    DISPID dispId = 0;
    std::string help;
};

// An interface a class implements, by name, with the class's markers for it.
struct ImplementedType {
    std::string name;
    bool isDefault = false;
    bool isSource = false;
};

enum class TypeKind { DispatchInterface, CoClass };

struct TypeDescription {
    TypeKind kind = TypeKind::DispatchInterface;
    std::string name;
    GUID id{};
    std::string help;
    bool hidden = false;     // not shown by object browsers
    bool creatable = false;  // a class that hosts may create
    bool control = false;    // a class that is a control
    std::vector<TypeMember> members;
    std::vector<ImplementedType> implemented;
};

struct TypeLibrary {
    std::string name;
    GUID id{};
    int major = 1;
    int minor = 0;
    unsigned locale = 0;  // 0x409: English (United States)
    std::string help;
    std::string helpFile;
    bool control = false;  // a library of controls
    std::vector<TypeDescription> types;

    const TypeDescription* Find(const std::string& typeName) const;
};

// The member of a dispatch interface with this name (compared without regard to case), or null.
const TypeMember* FindMember(const TypeDescription& type, const std::string& name);

// "TypeLib\{id}\1.0" below the classes root.
std::string TypeLibraryKeyPath(const GUID& id, int major, int minor);

// Records the library under HKEY_CLASSES_ROOT\TypeLib\{id}\major.minor (its help string, flags,
// help folder, the module that holds it for its locale, and the description of every type with
// its IDs, help strings and members) and each dispatch interface under
// HKEY_CLASSES_ROOT\Interface\{iid}. Replaces what an earlier registration left there.
void RegisterTypeLibrary(RegistryKey& root, const TypeLibrary& library,
                         const std::string& modulePath);
// Removes the version's key (and the library's key when no other version remains) and the
// interface keys that name this library. A library that is not registered is nothing to remove.
void UnregisterTypeLibrary(RegistryKey& root, const TypeLibrary& library);

}  // namespace platform
