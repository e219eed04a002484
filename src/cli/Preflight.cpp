#include "cli/Preflight.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/SafeFile.h"
#include "settings/SettingsView.h"

namespace host {
namespace {

std::string Reason(int error) {
    return std::strerror(error);
}

// The folder a new file at path goes into.
std::string FolderOf(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

std::string CheckFolder(const std::string& path) {
    const std::string folder = FolderOf(path);
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        return "cannot write " + path + ": " + Reason(errno);
    }
    if (!S_ISDIR(info.st_mode)) {
        return "cannot write " + path + ": " + Reason(ENOTDIR);
    }
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        return "cannot write " + path + ": folder " + folder + ": " + Reason(errno);
    }
    return {};
}

}  // namespace

std::string CheckExportTarget(const std::string& path, bool force) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT) {
            return "cannot write " + path + ": " + Reason(errno);
        }
        return CheckFolder(path);
    }
    // What the export's own replacement would refuse (a directory, a device or pipe, a
    // read-only file), said before the pauses.
    if (const std::string problem = platform::ReplaceProblem(path); !problem.empty()) {
        return "cannot write " + path + ": " + problem;
    }
    if (!force) {
        return path + " already exists; give --force to overwrite it";
    }
    return CheckFolder(path);
}

std::string CheckSettingsFileToRead(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return "cannot read " + path + ": " + Reason(errno);
    }
    if (S_ISDIR(info.st_mode)) {
        return "cannot read " + path + ": " + Reason(EISDIR);
    }
    // Checked before opening: opening a pipe would wait for a writer.
    if (!S_ISREG(info.st_mode)) {
        return "cannot read " + path + ": not a regular file";
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return "cannot read " + path + ": " + Reason(errno);
    }
    ::close(fd);
    const base::Result<settings::FileSnapshot> read = settings::ReadFileSnapshot(path);
    if (!read) {
        const std::string problem = read.Error().Text();
        return "cannot read " + path + (problem.empty() ? "" : ": " + problem);
    }
    if (!read->programIdLine) {
        return path + " has no Program ID line, so a download would write nothing";
    }
    return {};
}

}  // namespace host
