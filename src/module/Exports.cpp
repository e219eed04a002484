// The module's exports, with C linkage, as a host loads them by name: the class object, whether
// the module may be unloaded, and self-registration into the registry file.

#include <dlfcn.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "control/VireoModule.h"

namespace {

// The module's own path, as the registration records it for the host to load.
std::string ModulePath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ModulePath), &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    char resolved[PATH_MAX];
    return realpath(info.dli_fname, resolved) != nullptr ? resolved : info.dli_fname;
}

}  // namespace

#define VIREO_EXPORT extern "C" __attribute__((visibility("default")))

VIREO_EXPORT HRESULT DllCanUnloadNow() {
    return vireo::CanUnloadNow();
}

VIREO_EXPORT HRESULT DllGetClassObject(const CLSID& clsid, const IID& iid, void** object) {
    return vireo::GetClassObject(clsid, iid, object);
}

VIREO_EXPORT HRESULT DllRegisterServer() {
    const std::string path = ModulePath();
    if (path.empty()) {
        return SELFREG_E_CLASS;
    }
    return vireo::RegisterServer(platform::RegistryFile(platform::RegistryFile::DefaultPath()),
                                 path);
}

VIREO_EXPORT HRESULT DllUnregisterServer() {
    return vireo::UnregisterServer(platform::RegistryFile(platform::RegistryFile::DefaultPath()));
}
