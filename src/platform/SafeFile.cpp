#include "platform/SafeFile.h"

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// Closes a descriptor when it goes out of scope, for the error paths.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int Get() const { return fd_; }
    // Closes now; 0 or the errno of the close (which can report a failed write).
    int Close() {
        const int fd = std::exchange(fd_, -1);
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int fd_;
};

// Writes all of data, going on after short writes and interruptions. 0 or the errno.
int WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n > 0) {
            data.remove_prefix(static_cast<std::size_t>(n));
        } else if (n == 0) {
            return EIO;
        } else if (errno != EINTR) {
            return errno;
        }
    }
    return 0;
}

std::string FolderOf(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

// Some file systems cannot sync a folder (EINVAL); the rename stands regardless.
int SyncFolder(const std::string& folder) {
    Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Get() < 0) {
        return errno;
    }
    return ::fsync(fd.Get()) != 0 && errno != EINVAL ? errno : 0;
}

// The process's umask, read once: reading it means setting it for a moment, which must not
// race with another thread doing the same (the nodes of a command on many nodes save at once),
// or the process could keep a umask of 0.
mode_t NewFileMode() {
    static const mode_t mask = [] {
        const mode_t current = ::umask(0);
        ::umask(current);
        return current;
    }();
    return 0666 & ~mask;
}

// Why an existing file may not be replaced, or "".
std::string ExistingProblem(const std::string& target, const struct stat& info) {
    if (S_ISDIR(info.st_mode)) {
        return ErrnoText(EISDIR);
    }
    if (!S_ISREG(info.st_mode)) {
        return "not a regular file";
    }
    // Checked on the permissions themselves: they do not bind root, but a read-only file is
    // meant to stay as it is.
    if ((info.st_mode & 0222) == 0) {
        return "the file is read-only";
    }
    if (::access(target.c_str(), W_OK) != 0) {
        return ErrnoText(errno);
    }
    return "";
}

// The new content in a temporary file beside target, with the old file's mode and owner
// (or the usual mode for a new file). 0 or the errno.
int WriteTemporary(const std::string& target, std::string_view content, const struct stat* old,
                   bool flush, std::string& temporary) {
    const std::filesystem::path path(target);
    temporary = FolderOf(target) + "/." + path.filename().string() + ".XXXXXX";
    Descriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.Get() < 0) {
        const int error = errno;
        temporary.clear();
        return error;
    }
    if (::fchmod(fd.Get(), old != nullptr ? (old->st_mode & 07777) : NewFileMode()) != 0) {
        return errno;
    }
    if (old != nullptr) {
        struct stat made {};
        if (::fstat(fd.Get(), &made) != 0) {
            return errno;
        }
        if ((made.st_uid != old->st_uid || made.st_gid != old->st_gid) &&
            ::fchown(fd.Get(), old->st_uid, old->st_gid) != 0) {
            return errno;
        }
    }
    if (const int error = WriteAll(fd.Get(), content); error != 0) {
        return error;
    }
    if (flush && ::fsync(fd.Get()) != 0) {
        return errno;
    }
    return fd.Close();
}

}  // namespace

std::string ErrnoText(int error) {
    return std::system_category().message(error);
}

std::string FollowLinks(const std::string& path, std::string& error) {
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0) {
            if (errno == ENOENT) {
                return current;
            }
            error = ErrnoText(errno);
            return "";
        }
        if (!S_ISLNK(info.st_mode)) {
            return current;
        }
        std::string target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 4096) + 1,
                           '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n < 0) {
            error = ErrnoText(errno);
            return "";
        }
        target.resize(static_cast<std::size_t>(n));
        current = !target.empty() && target[0] == '/' ? target : FolderOf(current) + "/" + target;
    }
    error = ErrnoText(ELOOP);
    return "";
}

std::string ReplaceProblem(const std::string& path) {
    std::string error;
    const std::string target = FollowLinks(path, error);
    if (!error.empty()) {
        return error;
    }
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0) {
        return errno == ENOENT ? "" : ErrnoText(errno);
    }
    return ExistingProblem(target, info);
}

std::string ReplaceFile(const std::string& path, std::string_view content, bool makeFolder,
                        bool flush) {
    std::string error;
    const std::string target = FollowLinks(path, error);
    if (!error.empty()) {
        return error;
    }
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) {
        return ErrnoText(errno);
    }
    if (exists) {
        if (std::string problem = ExistingProblem(target, old); !problem.empty()) {
            return problem;
        }
    } else if (makeFolder) {
        std::error_code made;
        std::filesystem::create_directories(FolderOf(target), made);
        if (made) {
            return made.message();
        }
    }
    std::string temporary;
    int failure = WriteTemporary(target, content, exists ? &old : nullptr, flush, temporary);
    if (failure == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) {
        failure = errno;
    }
    if (failure != 0) {
        if (!temporary.empty()) {
            ::unlink(temporary.c_str());
        }
        return ErrnoText(failure);
    }
    const int synced = flush ? SyncFolder(FolderOf(target)) : 0;
    return synced == 0 ? "" : ErrnoText(synced);
}

std::string ReadWholeFile(const std::string& path, std::string& content) {
    content.clear();
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        return ErrnoText(errno);
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0) {
        return ErrnoText(errno);
    }
    if (S_ISDIR(info.st_mode)) {
        return ErrnoText(EISDIR);
    }
    if (!S_ISREG(info.st_mode)) {
        return "not a regular file";
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n > 0) {
            content.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0) {
            return "";
        } else if (errno != EINTR) {
            return ErrnoText(errno);
        }
    }
}

FileLock::FileLock(const std::string& lockPath, Kind kind) {
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, NewFileMode());
    if (fd < 0) {
        error_ = ErrnoText(errno);
        return;
    }
    while (::flock(fd, kind == Kind::Shared ? LOCK_SH : LOCK_EX) != 0) {
        if (errno != EINTR) {
            error_ = ErrnoText(errno);
            ::close(fd);
            return;
        }
    }
    fd_ = fd;
}

FileLock::FileLock(FileLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), error_(std::move(other.error_)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
        error_ = std::move(other.error_);
    }
    return *this;
}

FileLock::~FileLock() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

}  // namespace platform
