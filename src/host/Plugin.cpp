#include "host/Plugin.h"

#include <dlfcn.h>
#include <unistd.h>

#include <QImage>
#include <QPainter>
#include <QRect>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <ostream>
#include <sstream>

namespace host {
namespace {

template <typename Fn>
bool Bind(void* handle, const char* name, Fn& fn, std::string& error) {
    void* symbol = dlsym(handle, name);
    if (symbol == nullptr) {
        error = std::string("it does not export ") + name;
        return false;
    }
    fn = reinterpret_cast<Fn>(symbol);
    return true;
}

std::string ExecutableFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        return ".";
    }
    path[length] = '\0';
    return std::filesystem::path(path).parent_path().string();
}

std::string NotRegistered(const platform::RegistryFile& registry, const ProgramId& id) {
    return "no registered plug-in serves Program ID " + ProgramIdText(id) + " (registry " +
           registry.Path() + "); register one with 'vireo register [MODULE]'";
}

// The module installed with vireo in ../lib/vireo, when vireo runs from an installed tree (no
// module beside it).
std::optional<std::string> InstalledModulePath() {
    const std::filesystem::path folder = ExecutableFolder();
    const std::filesystem::path installed = folder / ".." / "lib" / "vireo" / "Vireo.so";
    std::error_code error;
    if (std::filesystem::exists(folder / "Vireo.so", error) ||
        !std::filesystem::exists(installed, error)) {
        return std::nullopt;
    }
    const std::filesystem::path path = std::filesystem::weakly_canonical(installed, error);
    return error ? installed.string() : path.string();
}

// A user of an installed vireo has no registration yet: when nothing serves a node and the
// registry is the user's own, the installed module registers itself there once, as
// `vireo register` would, and says so in one line. True when it did.
bool RegisterInstalledModule(const platform::RegistryFile& registry) {
    const std::optional<std::string> module = InstalledModulePath();
    if (!module || registry.Path() != platform::RegistryFile::DefaultPath()) {
        return false;
    }
    std::ostringstream done;
    if (RunRegisterCommand(*module, false, done, std::cerr) != 0) {
        return false;
    }
    std::cerr << "vireo: registered the installed plug-in " << *module << " in " << registry.Path()
              << '\n';
    return true;
}

}  // namespace

std::string DefaultModulePath() {
    return InstalledModulePath().value_or(
        (std::filesystem::path(ExecutableFolder()) / "Vireo.so").string());
}

std::unique_ptr<PluginModule> PluginModule::Load(const std::string& path, std::string& error) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        error = "cannot load the plug-in module " + path + ": " +
                (reason != nullptr ? reason : "unknown reason");
        return nullptr;
    }
    std::unique_ptr<PluginModule> module(new PluginModule(path, handle));
    std::string missing;
    if (!Bind(handle, "DllCanUnloadNow", module->canUnload_, missing) ||
        !Bind(handle, "DllGetClassObject", module->getClassObject_, missing) ||
        !Bind(handle, "DllRegisterServer", module->register_, missing) ||
        !Bind(handle, "DllUnregisterServer", module->unregister_, missing)) {
        error = path + " is not a plug-in module: " + missing;
        return nullptr;
    }
    return module;
}

PluginModule::~PluginModule() {
    // A module without its exports has nothing alive; one with live objects stays loaded.
    if (canUnload_ == nullptr || canUnload_() == S_OK) {
        dlclose(handle_);
    }
}

HRESULT PluginModule::CanUnloadNow() const {
    return canUnload_();
}

HRESULT PluginModule::GetClassObject(const CLSID& clsid, const IID& iid, void** object) const {
    return getClassObject_(clsid, iid, object);
}

HRESULT PluginModule::RegisterServer() const {
    return register_();
}

HRESULT PluginModule::UnregisterServer() const {
    return unregister_();
}

RegisteredPlugins::RegisteredPlugins() {
    problem_ = platform::RegistryFile(platform::RegistryFile::DefaultPath()).Load(root_);
}

std::string RegisteredPlugins::Serves(const std::string& programIdText) const {
    ProgramId id{};
    return ParseProgramId(programIdText, id) ? Serves(id) : "";
}

std::string RegisteredPlugins::Serves(const ProgramId& id) const {
    return FindPlugin(root_, id) ? "registered" : "none";
}

std::optional<PluginEntry> FindPlugin(const platform::RegistryKey& root, const ProgramId& id) {
    const platform::RegistryKey* classes =
        root.Find(std::string(platform::kClassesRoot) + "\\CLSID");
    if (classes == nullptr) {
        return std::nullopt;
    }
    for (const auto& [name, key] : classes->Subkeys()) {
        const platform::RegistryKey* programId = key.Find("Node\\ProgramID");
        const platform::RegistryKey* server = key.Find("InprocServer32");
        ProgramId registered{};
        PluginEntry entry;
        if (programId == nullptr || server == nullptr || !programId->Default() ||
            !server->Default() || !ParseProgramId(*programId->Default(), registered) ||
            registered != id || !GuidFromString(name, entry.clsid)) {
            continue;
        }
        entry.modulePath = *server->Default();
        return entry;
    }
    return std::nullopt;
}

std::unique_ptr<PluginControl> PluginControl::Open(const platform::RegistryFile& registry,
                                                   const ProgramId& id, IOleClientSite* site,
                                                   std::string& error) {
    platform::RegistryKey root;
    if (error = registry.Load(root); !error.empty()) {
        return nullptr;
    }
    std::optional<PluginEntry> entry = FindPlugin(root, id);
    if (!entry && RegisterInstalledModule(registry)) {
        root = platform::RegistryKey();
        if (error = registry.Load(root); !error.empty()) {
            return nullptr;
        }
        entry = FindPlugin(root, id);
    }
    if (!entry) {
        error = NotRegistered(registry, id);
        return nullptr;
    }
    // Registration writes absolute paths; a relative one would load whatever the current
    // folder (or, without a "/", the library search path) holds under that name.
    if (!entry->modulePath.starts_with('/')) {
        error = "the registry names the plug-in module by a path that is not absolute (" +
                entry->modulePath + "); register the module again with 'vireo register'";
        return nullptr;
    }
    std::unique_ptr<PluginControl> control(new PluginControl);
    control->module_ = PluginModule::Load(entry->modulePath, error);
    if (!control->module_) {
        return nullptr;
    }
    IClassFactory* factory = nullptr;
    HRESULT result = control->module_->GetClassObject(entry->clsid, IID_IClassFactory,
                                                      reinterpret_cast<void**>(&factory));
    if (result != S_OK || factory == nullptr) {
        error = entry->modulePath + " serves no class " + GuidToString(entry->clsid) + " (" +
                HresultText(result) + ")";
        return nullptr;
    }
    result = factory->CreateInstance(nullptr, platform::IID_IOleObject,
                                     reinterpret_cast<void**>(&control->object_));
    factory->Release();
    if (result != S_OK || control->object_ == nullptr) {
        error = "the plug-in " + entry->modulePath + " could not create its control (" +
                HresultText(result) + ")";
        return nullptr;
    }
    control->object_->QueryInterface(platform::IID_IViewObject,
                                     reinterpret_cast<void**>(&control->view_));
    control->object_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&control->dispatch_));
    control->object_->SetClientSite(site);
    return control;
}

PluginControl::~PluginControl() {
    if (object_ != nullptr) {
        object_->SetClientSite(nullptr);
    }
    for (IUnknown* reference : {static_cast<IUnknown*>(dispatch_), static_cast<IUnknown*>(view_),
                                static_cast<IUnknown*>(object_)}) {
        if (reference != nullptr) {
            reference->Release();
        }
    }
}

HRESULT PluginControl::Properties() {
    return object_->DoVerb(platform::OLEIVERB_PROPERTIES, nullptr, nullptr);
}

HRESULT PluginControl::About() {
    if (dispatch_ == nullptr) {
        return E_NOINTERFACE;
    }
    const DISPPARAMS none;
    return dispatch_->Invoke(DISPID_ABOUTBOX, DISPATCH_METHOD, &none);
}

HRESULT PluginControl::Paint(QPainter& dc, const QRect& bounds) {
    return view_ == nullptr ? E_NOINTERFACE : view_->Draw(&dc, &bounds);
}

QImage PluginControl::Face(int size) {
    QImage face(size, size, QImage::Format_ARGB32_Premultiplied);
    face.fill(Qt::transparent);
    QPainter dc(&face);
    Paint(dc, QRect(0, 0, size, size));
    return face;
}

int RunRegisterCommand(const std::string& modulePath, bool unregister, std::ostream& out,
                       std::ostream& err) {
    std::error_code ec;
    const std::string path = std::filesystem::absolute(modulePath, ec).string();
    if (!std::filesystem::is_regular_file(path, ec)) {
        err << "vireo: no plug-in module at " << path << '\n';
        return 1;
    }
    std::string error;
    const std::unique_ptr<PluginModule> module = PluginModule::Load(path, error);
    if (!module) {
        err << "vireo: " << error << '\n';
        return 1;
    }
    const std::string registry = platform::RegistryFile::DefaultPath();
    platform::SetLastRegistryError("");
    const HRESULT result = unregister ? module->UnregisterServer() : module->RegisterServer();
    if (result != S_OK) {
        const std::string& reason = platform::LastRegistryError();
        err << "vireo: " << (unregister ? "unregistering " : "registering ") << path << " failed ("
            << HresultText(result) << ")" << (reason.empty() ? "" : ": " + reason) << '\n';
        return 1;
    }
    out << (unregister ? "Unregistered " : "Registered ") << path
        << (unregister ? " from " : " in ") << registry << '\n';
    return 0;
}

}  // namespace host
