#include "res/TypeLibrary.h"

namespace res {
namespace {

platform::TypeLibrary Build() {
    using platform::TypeKind;
    platform::TypeLibrary library;
    library.name = "VireoLib";
    library.id = LIBID_VireoLib;
    library.major = 1;
    library.minor = 0;
    library.locale = 0x409;
    library.help = "Vireo ActiveX Control module";
    library.helpFile = "Vireo.hlp";
    library.control = true;

    platform::TypeDescription dispatch;
    dispatch.kind = TypeKind::DispatchInterface;
    dispatch.name = "_DVireo";
    dispatch.id = DIID__DVireo;
    dispatch.help = "Dispatch interface for Vireo Control";
    dispatch.hidden = true;
    dispatch.members = {{"AboutBox", DISPID_ABOUTBOX, ""}};

    platform::TypeDescription events;
    events.kind = TypeKind::DispatchInterface;
    events.name = "_DVireoEvents";
    events.id = DIID__DVireoEvents;
    events.help = "Event interface for Vireo Control";

    platform::TypeDescription coclass;
    coclass.kind = TypeKind::CoClass;
    coclass.name = "Vireo";
    coclass.id = CLSID_Vireo;
    coclass.help = "Vireo Control";
    coclass.creatable = true;
    coclass.control = true;
    coclass.implemented = {{"_DVireo", true, false}, {"_DVireoEvents", true, true}};

    library.types = {dispatch, events, coclass};
    return library;
}

}  // namespace

const platform::TypeLibrary& VireoTypeLibrary() {
    static const platform::TypeLibrary library = Build();
    return library;
}

const platform::TypeDescription& DispatchInterface() {
    return *VireoTypeLibrary().Find("_DVireo");
}

}  // namespace res
