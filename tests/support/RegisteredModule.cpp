// Linked into the test programs of the host, the session scripts and the command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include <unistd.h>

#include "host/Plugin.h"

namespace {

namespace fs = std::filesystem;

// Every test program of the host registers the built module into a registry of its own, so
// that session scripts find the plug-in as the host tool finds it.
class RegisteredModule : public ::testing::Environment {
public:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("vireo-plugin-" + std::to_string(getpid()));
        fs::create_directories(folder_);
        setenv("VIREO_REGISTRY", (folder_ / "registry.reg").c_str(), 1);
        std::ostringstream out;
        std::ostringstream err;
        ASSERT_EQ(host::RunRegisterCommand(VIREO_MODULE_PATH, false, out, err), 0) << err.str();
    }
    void TearDown() override { fs::remove_all(folder_); }

private:
    fs::path folder_;
};

const auto* const g_registered = ::testing::AddGlobalTestEnvironment(new RegisteredModule);

}  // namespace
