#include "framework/XdgPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace platform {
namespace {

std::string BaseFolder(const char* variable, const char* underHome) {
    if (const char* set = std::getenv(variable); set != nullptr && set[0] == '/') {
        return set;
    }
    return HomeDirectory() + underHome;
}

}  // namespace

std::string HomeDirectory() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    passwd entry{};
    passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr) {
        return found->pw_dir;
    }
    return "";
}

std::string XdgDataHome() {
    return BaseFolder("XDG_DATA_HOME", "/.local/share");
}

std::string XdgConfigHome() {
    return BaseFolder("XDG_CONFIG_HOME", "/.config");
}

std::string XdgStateHome() {
    return BaseFolder("XDG_STATE_HOME", "/.local/state");
}

std::string XdgRuntimeDir() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime != nullptr && runtime[0] == '/' ? std::string(runtime) : std::string();
}

}  // namespace platform
