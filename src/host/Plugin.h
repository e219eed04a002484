#pragma once
// How the host tool reaches the plug-in, as a network tool does: it looks up the node's Program
// ID among the node kinds that registered classes record, loads the module the class's key
// names, creates the control through the module's class object, gives it a client site, and
// runs its properties verb. The module's four exports are called by name.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "framework/Com.h"
#include "framework/Registry.h"
#include "platform/OleControl.h"
#include "sim/SimNode.h"

class QImage;
class QPainter;
class QRect;

namespace host {

// The plug-in module beside the executable, or in ../lib/vireo from it.
std::string DefaultModulePath();

// A loaded plug-in module and its exports.
class PluginModule {
public:
    // Null with the reason in error when the file cannot be loaded or lacks an export.
    static std::unique_ptr<PluginModule> Load(const std::string& path, std::string& error);
    // Unloads the module when it says it may be unloaded; otherwise it stays loaded.
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    const std::string& Path() const { return path_; }
    HRESULT CanUnloadNow() const;
    HRESULT GetClassObject(const CLSID& clsid, const IID& iid, void** object) const;
    HRESULT RegisterServer() const;
    HRESULT UnregisterServer() const;

private:
    using CanUnloadFn = HRESULT (*)();
    using GetClassObjectFn = HRESULT (*)(const CLSID&, const IID&, void**);
    using ServerFn = HRESULT (*)();

    PluginModule(std::string path, void* handle) : path_(std::move(path)), handle_(handle) {}

    std::string path_;
    void* handle_;
    CanUnloadFn canUnload_ = nullptr;
    GetClassObjectFn getClassObject_ = nullptr;
    ServerFn register_ = nullptr;
    ServerFn unregister_ = nullptr;
};

// A registered class that serves a node kind.
struct PluginEntry {
    CLSID clsid{};
    std::string modulePath;
};

// The class whose "Node\ProgramID" key holds the Program ID, with the module its
// InprocServer32 key names; nothing when no class serves it.
std::optional<PluginEntry> FindPlugin(const platform::RegistryKey& root, const ProgramId& id);

// The user's registered plug-ins, read once from the registry file, as the lists of nodes tell
// them: whether one serves a node's Program ID.
class RegisteredPlugins {
public:
    RegisteredPlugins();
    // Why the registry file could not be read; "" when it could.
    const std::string& Problem() const { return problem_; }
    // "registered" or "none"; "" for a text that is no Program ID.
    std::string Serves(const std::string& programIdText) const;
    std::string Serves(const ProgramId& id) const;

private:
    platform::RegistryKey root_;
    std::string problem_;
};

// A control made by a plug-in module, with the host's client site set on it.
class PluginControl {
public:
    // Looks the Program ID up in the registry file, loads the module, creates the control and
    // sets the site. Null with a one-line reason in error when any step fails; when no class
    // serves the Program ID the reason says how to register the plug-in. An installed vireo
    // whose user's registry has no plug-in for the Program ID registers its own module there
    // first, saying so on standard error.
    static std::unique_ptr<PluginControl> Open(const platform::RegistryFile& registry,
                                               const ProgramId& id, IOleClientSite* site,
                                               std::string& error);
    // Takes the site back, releases the control, then the module.
    ~PluginControl();
    PluginControl(const PluginControl&) = delete;
    PluginControl& operator=(const PluginControl&) = delete;

    // The properties verb: runs the configuration sheet modally.
    HRESULT Properties();
    // The stock About method, through the dispatch interface.
    HRESULT About();
    // The control's face painted into bounds.
    HRESULT Paint(QPainter& dc, const QRect& bounds);
    // The face on a transparent square of the given size.
    QImage Face(int size);

    const std::string& ModulePath() const { return module_->Path(); }

private:
    PluginControl() = default;

    std::unique_ptr<PluginModule> module_;
    platform::IOleObject* object_ = nullptr;
    platform::IViewObject* view_ = nullptr;
    IDispatch* dispatch_ = nullptr;
};

// `vireo register` and `vireo unregister`: call the module's self-registration and say what
// happened in one line (on out when it worked, on err with the result code and the reason when
// not). 0 on success.
int RunRegisterCommand(const std::string& modulePath, bool unregister, std::ostream& out,
                       std::ostream& err);

}  // namespace host
