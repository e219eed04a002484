#include "site/SiteSecret.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "codecs/HexBytes.h"
#include "framework/SafeFile.h"
#include "link/LinkSettings.h"
#include "site/Site.h"

namespace host {

std::string SecretFilePath(const std::string& site) {
    return SitesFolder() + "/" + site + ".secret";
}

std::string SaveSecretFile(const std::string& site, const lon::Bytes& secret) {
    const std::string path = SecretFilePath(site);
    std::error_code made;
    std::filesystem::create_directories(SitesFolder(), made);
    // The file is this user's alone before the secret goes in: the replacement keeps its mode.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 || ::fchmod(fd, 0600) != 0) {
        const std::string reason = platform::ErrnoText(errno);
        if (fd >= 0) {
            ::close(fd);
        }
        return "secret file " + path + ": " + reason;
    }
    ::close(fd);
    std::string text = codecs::HexBytes(secret.data(), secret.size()) + "\n";
    std::string problem = platform::ReplaceFile(path, text);
    platform::WipeMemory(text.data(), text.size());
    return problem.empty() ? "" : "secret file " + path + ": " + problem;
}

std::string LoadSecretFile(const std::string& site, platform::SecretBytes& secret) {
    const std::string path = SecretFilePath(site);
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return "the site " + site + " has an authenticated channel and no secret (" + path + ": " +
               platform::ErrnoText(errno) + "); give it with 'vireo site secret " + site +
               " --auth-key-file FILE'";
    }
    if (auto problem = ReadSecretFile(path, secret, "secret file")) {
        return *problem;
    }
    return "";
}

}  // namespace host
