// The plug-in module as the host tool meets it: the built Vireo.so loaded by its file, its four
// exports, self-registration into the registry file, and the host finding it by Program ID.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <cstring>

#include <sys/resource.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "framework/ScriptedDesktop.h"
#include "host/ClientSite.h"
#include "host/Host.h"
#include "host/Plugin.h"
#include "platform/Dialog.h"
#include "sim/SimNode.h"

namespace {

namespace fs = std::filesystem;

constexpr CLSID kVireoClass = {
    0x828CBF24, 0xAAD1, 0x4C20, {0x85, 0xA9, 0x9F, 0x70, 0x4A, 0x89, 0xC3, 0x33}};
constexpr const char* kClassKey =
    "HKEY_CLASSES_ROOT\\CLSID\\{828CBF24-AAD1-4C20-85A9-9F704A89C333}";
constexpr const char* kLibraryKey =
    "HKEY_CLASSES_ROOT\\TypeLib\\{4A909070-419F-4835-9A8F-DB0ACC419C54}";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class PluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("vireo-plugin-test-" + std::to_string(getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        previous_ = std::getenv("VIREO_REGISTRY");
        registry = folder / "registry.reg";
        setenv("VIREO_REGISTRY", registry.c_str(), 1);
        std::string error;
        module = host::PluginModule::Load(VIREO_MODULE_PATH, error);
        ASSERT_TRUE(module) << error;
        platform::Desktop::SetCurrent(&desktop);
    }
    void TearDown() override {
        platform::Desktop::SetCurrent(nullptr);
        module.reset();
        setenv("VIREO_REGISTRY", previous_.c_str(), 1);
        fs::remove_all(folder);
    }

    platform::RegistryKey Registry() const {
        platform::RegistryKey root;
        EXPECT_EQ(platform::RegistryFile(registry).Load(root), "");
        return root;
    }

    IClassFactory* Factory() const {
        IClassFactory* factory = nullptr;
        EXPECT_EQ(module->GetClassObject(kVireoClass, IID_IClassFactory,
                                         reinterpret_cast<void**>(&factory)),
                  S_OK);
        return factory;
    }

    fs::path folder;
    fs::path registry;
    std::unique_ptr<host::PluginModule> module;
    platform::ScriptedDesktop desktop;

private:
    std::string previous_;
};

TEST_F(PluginTest, RegistrationWritesTheControlTheTypeLibraryAndTheNodeKind) {
    ASSERT_EQ(module->RegisterServer(), S_OK);
    const platform::RegistryKey root = Registry();
    const std::string path = fs::canonical(VIREO_MODULE_PATH).string();
    const std::string cls = kClassKey;
    const std::string lib = std::string(kLibraryKey) + "\\1.0";
    struct Expected {
        std::string key;
        std::string name;  // empty: the default value
        std::string value;
    };
    const Expected table[] = {
        {cls, "", "Vireo Control"},
        {cls + "\\ProgID", "", "Vireo.VireoCtrl.1"},
        {cls + "\\InprocServer32", "", path},
        {cls + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {cls + "\\ToolboxBitmap32", "", path + ", 1"},
        {cls + "\\MiscStatus\\1", "", "131473"},  // 0x20191
        {cls + "\\TypeLib", "", "{4A909070-419F-4835-9A8F-DB0ACC419C54}"},
        {cls + "\\Version", "", "1.0"},
        {cls + "\\Node\\ProgramID", "", "90 56 69 72 65 6F 4B 2A"},
        {cls + "\\Node\\TestID", "", "%1"},
        {"HKEY_CLASSES_ROOT\\Vireo.VireoCtrl.1", "", "Vireo Control"},
        {"HKEY_CLASSES_ROOT\\Vireo.VireoCtrl.1\\CLSID", "",
         "{828CBF24-AAD1-4C20-85A9-9F704A89C333}"},
        {lib, "", "Vireo ActiveX Control module"},
        {lib, "HelpFile", "Vireo.hlp"},
        {lib + "\\FLAGS", "", "2"},
        {lib + "\\409\\linux", "", path},
        {lib + "\\Types\\_DVireo", "", "Dispatch interface for Vireo Control"},
        {lib + "\\Types\\_DVireo", "ID", "{EB041560-6CF5-40B0-9282-44F12F2B582A}"},
        {lib + "\\Types\\_DVireo", "Flags", "hidden"},
        {lib + "\\Types\\_DVireo\\AboutBox", "DISPID", "-552"},
        {lib + "\\Types\\_DVireoEvents", "ID", "{FD685864-C391-4C46-ADE5-7B67EADC6050}"},
        {lib + "\\Types\\_DVireoEvents", "", "Event interface for Vireo Control"},
        {lib + "\\Types\\Vireo", "", "Vireo Control"},
        {lib + "\\Types\\Vireo", "_DVireoEvents", "default source"},
        {"HKEY_CLASSES_ROOT\\Interface\\{EB041560-6CF5-40B0-9282-44F12F2B582A}", "", "_DVireo"},
    };
    for (const Expected& e : table) {
        SCOPED_TRACE(e.key + " " + e.name);
        const platform::RegistryKey* key = root.Find(e.key);
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(key->Value(e.name), e.value);
    }
    EXPECT_NE(root.Find(cls + "\\Control"), nullptr);
    EXPECT_EQ(root.Find(cls + "\\Insertable"), nullptr);
    EXPECT_EQ(ReadFile(registry).find("Generic Node"), std::string::npos);
}

TEST_F(PluginTest, RegisteringTwiceAndUnregisteringTwiceAreHarmless) {
    ASSERT_EQ(module->RegisterServer(), S_OK);
    const std::string once = ReadFile(registry);
    ASSERT_EQ(module->RegisterServer(), S_OK);
    EXPECT_EQ(ReadFile(registry), once);
    EXPECT_EQ(Registry().Find(std::string(kClassKey) + "\\Node")->Subkeys().size(), 2u);

    ASSERT_EQ(module->UnregisterServer(), S_OK);
    const platform::RegistryKey root = Registry();
    EXPECT_EQ(root.Find(kClassKey), nullptr);
    EXPECT_EQ(root.Find("HKEY_CLASSES_ROOT\\Vireo.VireoCtrl.1"), nullptr);
    EXPECT_EQ(root.Find(kLibraryKey), nullptr);
    EXPECT_EQ(root.Find("HKEY_CLASSES_ROOT\\Interface\\{EB041560-6CF5-40B0-9282-44F12F2B582A}"),
              nullptr);
    // Nothing left to remove: no "Node" key, no type library.
    EXPECT_EQ(module->UnregisterServer(), S_OK);
}

TEST_F(PluginTest, AFailedRegistrationLeavesTheRegistryAsItWas) {
    const std::string old = "REGEDIT4\n\n[HKEY_CLASSES_ROOT\\Other]\n@=\"kept\"\n\n";
    std::ofstream(registry, std::ios::binary) << old;
    // Files cannot grow past the old one's size: the new registry cannot be written, even by
    // root.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto* const previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = old.size();
    setrlimit(RLIMIT_FSIZE, &small);
    std::ostringstream out;
    std::ostringstream err;
    const int status = host::RunRegisterCommand(VIREO_MODULE_PATH, false, out, err);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(status, 1);
    EXPECT_NE(err.str().find("failed (0x80040201): " + registry.string()), std::string::npos)
        << err.str();
    EXPECT_EQ(ReadFile(registry), old);
}

TEST_F(PluginTest, AnUnreadableRegistryIsNeverOverwritten) {
    const std::string broken = "REGEDIT4\n\n@=\"a value outside any key\"\n";
    std::ofstream(registry, std::ios::binary) << broken;
    EXPECT_EQ(module->RegisterServer(), SELFREG_E_TYPELIB);
    EXPECT_EQ(module->UnregisterServer(), SELFREG_E_TYPELIB);
    EXPECT_EQ(ReadFile(registry), broken);
}

TEST_F(PluginTest, ClassObjectAndUnloadingFollowLiveObjectsAndLocks) {
    void* object = reinterpret_cast<void*>(1);
    const CLSID other = {0x12345678, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
    EXPECT_EQ(module->GetClassObject(other, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);

    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(module->CanUnloadNow(), S_OK);
    IUnknown* outer = factory;
    EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, &object), S_OK);
    EXPECT_EQ(module->CanUnloadNow(), S_FALSE);
    static_cast<IUnknown*>(object)->Release();
    EXPECT_EQ(module->CanUnloadNow(), S_OK);

    factory->LockServer(TRUE);
    EXPECT_EQ(module->CanUnloadNow(), S_FALSE);
    factory->LockServer(FALSE);
    EXPECT_EQ(module->CanUnloadNow(), S_OK);
    factory->Release();
}

TEST_F(PluginTest, AboutBoxIsReachedThroughTheDispatchInterface) {
    IClassFactory* factory = Factory();
    IDispatch* dispatch = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&dispatch)),
              S_OK);
    factory->Release();
    const char* names[] = {"aboutbox"};
    DISPID id = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(names, 1, &id), S_OK);
    EXPECT_EQ(id, DISPID_ABOUTBOX);

    std::string shown;
    desktop.onDialogModal = [&](platform::CDialog& dialog) {
        // The module's own dialog template, though the host has no resources of its own.
        shown = std::to_string(dialog.TemplateId()) + " " + dialog.GetDlgItemText(1);
        dialog.EndDialog(platform::IDOK);
    };
    const DISPPARAMS none;
    EXPECT_EQ(dispatch->Invoke(DISPID_ABOUTBOX, DISPATCH_METHOD, &none), S_OK);
    EXPECT_EQ(shown, "1 OK");
    EXPECT_EQ(dispatch->Invoke(4711, DISPATCH_METHOD, &none), DISP_E_MEMBERNOTFOUND);
    dispatch->Release();
}

TEST_F(PluginTest, TheHostFindsThePluginByTheNodesProgramId) {
    host::SimNode node;
    auto* site = new host::ClientSite(node, host::Offer::Both);
    std::string error;
    const platform::RegistryFile file(registry);

    EXPECT_FALSE(host::PluginControl::Open(file, node.GetProgramId(), site, error));
    EXPECT_EQ(error, "no registered plug-in serves Program ID 90 56 69 72 65 6F 4B 2A (registry " +
                         registry.string() + "); register one with 'vireo register [MODULE]'");

    ASSERT_EQ(module->RegisterServer(), S_OK);
    host::ProgramId other = node.GetProgramId();
    other[7] ^= 1;
    EXPECT_FALSE(host::PluginControl::Open(file, other, site, error));

    auto control = host::PluginControl::Open(file, node.GetProgramId(), site, error);
    ASSERT_TRUE(control) << error;
    const QImage face = control->Face(31);
    EXPECT_NE(face.pixel(15, 15), 0u);  // painted by the control, not left transparent
    control.reset();

    // A module named by a relative path is refused, and a pipe for a registry hangs nothing.
    std::string text = ReadFile(registry);
    for (std::size_t at = 0; (at = text.find(VIREO_MODULE_PATH, at)) != std::string::npos;) {
        text.replace(at, std::strlen(VIREO_MODULE_PATH), "Vireo.so");
    }
    std::ofstream(registry, std::ios::binary) << text;
    EXPECT_FALSE(host::PluginControl::Open(file, node.GetProgramId(), site, error));
    EXPECT_NE(error.find("not absolute (Vireo.so)"), std::string::npos) << error;
    fs::remove(registry);
    ASSERT_EQ(::mkfifo(registry.c_str(), 0600), 0);
    EXPECT_FALSE(host::PluginControl::Open(file, node.GetProgramId(), site, error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    site->Release();
}

// The host leaves the application's display name alone: the platform adds it to every window's
// title, and the sheet ("Node1 - VI1") and the dialogs carry titles of their own.
TEST_F(PluginTest, TheHostLeavesTheWindowTitlesToTheWindows) {
    ASSERT_EQ(module->RegisterServer(), S_OK);
    host::SimNode node;
    QString displayName;
    EXPECT_EQ(host::WithPlugin(node,
                               [&](host::PluginControl&) {
                                   displayName = QGuiApplication::applicationDisplayName();
                                   return true;
                               }),
              0);
    EXPECT_EQ(displayName, QGuiApplication::applicationName());
}

}  // namespace
