#include "framework/SafeFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <functional>
#include <mutex>
#include <set>
#include <string>
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
    int Release() { return std::exchange(fd_, -1); }
    void Reset(int fd) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }
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

// The name of a temporary file beside target, with its six random characters as X.
std::string TemporaryPattern(const std::string& target) {
    return FolderOf(target) + "/." + std::filesystem::path(target).filename().string() + ".XXXXXX";
}

// A temporary file left beside target by a process of ours that died writing it: nobody holds
// its lock. Its maker locks it at once after making it, before writing, and holds the lock
// until it is renamed, so only an empty file could be unlocked while its maker lives: one
// younger than a minute is left alone.
bool IsStaleTemporary(const std::string& path) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_uid != ::geteuid() || ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        return false;
    }
    constexpr time_t kYoung = 60;
    if (info.st_size == 0 && ::time(nullptr) - info.st_mtime < kYoung) {
        return false;
    }
    struct stat now {};
    return ::lstat(path.c_str(), &now) == 0 && now.st_dev == info.st_dev &&
           now.st_ino == info.st_ino;
}

// Removes the stale temporaries of target (see IsStaleTemporary), once a process for each
// file: they are left by processes killed before this one saved the file, and looking for them
// reads the whole folder, which a network of a thousand nodes makes costly on every save.
void RemoveStaleTemporaries(const std::string& target) {
    static std::mutex mutex;
    static std::set<std::string> looked;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (!looked.insert(target).second) {
            return;
        }
    }
    const std::string pattern = TemporaryPattern(target);
    const std::string name = std::filesystem::path(pattern).filename().string();
    const std::string prefix = name.substr(0, name.size() - 6);
    std::error_code error;
    for (std::filesystem::directory_iterator it(FolderOf(target), error), end; !error && it != end;
         it.increment(error)) {
        const std::string candidate = it->path().filename().string();
        if (candidate.size() == name.size() && candidate.starts_with(prefix) &&
            std::all_of(candidate.begin() + static_cast<std::ptrdiff_t>(prefix.size()),
                        candidate.end(),
                        [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }) &&
            IsStaleTemporary(it->path().string())) {
            ::unlink(it->path().c_str());
        }
    }
}

// The new content in a temporary file beside target, with the old file's mode and owner
// (or the usual mode for a new file), left open and locked in fd until it is in place. 0 or
// the errno.
int WriteTemporary(const std::string& target, std::string_view content, const struct stat* old,
                   bool flush, std::string& temporary, Descriptor& fd) {
    temporary = TemporaryPattern(target);
    fd.Reset(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.Get() < 0) {
        const int error = errno;
        temporary.clear();
        return error;
    }
    if (::flock(fd.Get(), LOCK_EX) != 0) {
        return errno;
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
    return 0;
}

// Writes content into a temporary beside target and puts it in place with place (0 or the
// errno); on failure the temporary goes. "" or the reason.
std::string PutInPlace(const std::string& target, std::string_view content, const struct stat* old,
                       bool flush, const std::function<int(const std::string&)>& place) {
    RemoveStaleTemporaries(target);
    std::string temporary;
    Descriptor fd(-1);
    int failure = WriteTemporary(target, content, old, flush, temporary, fd);
    if (failure == 0) {
        failure = place(temporary);
    }
    // A close can report a write that failed late; the lock goes with it, once in place.
    if (const int closed = fd.Get() >= 0 ? fd.Close() : 0; failure == 0) {
        failure = closed;
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

std::string MakeFolderOf(const std::string& target) {
    std::error_code made;
    std::filesystem::create_directories(FolderOf(target), made);
    return made ? made.message() : "";
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
        if (std::string problem = MakeFolderOf(target); !problem.empty()) {
            return problem;
        }
    }
    return PutInPlace(target, content, exists ? &old : nullptr, flush,
                      [&target](const std::string& temporary) {
                          return ::rename(temporary.c_str(), target.c_str()) == 0 ? 0 : errno;
                      });
}

std::string CreateFile(const std::string& path, std::string_view content, bool makeFolder) {
    if (makeFolder) {
        if (std::string problem = MakeFolderOf(path); !problem.empty()) {
            return problem;
        }
    }
    // link() never replaces what is there, not even a dangling link: one maker wins.
    return PutInPlace(path, content, nullptr, true, [&path](const std::string& temporary) {
        if (::link(temporary.c_str(), path.c_str()) != 0) {
            return errno;
        }
        ::unlink(temporary.c_str());
        return 0;
    });
}

std::string ReadWholeFile(const std::string& path, std::string& content, std::uint64_t limit) {
    content.clear();
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
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
    const std::string tooLarge =
        "larger than " + std::to_string(limit / (1024 * 1024)) + " MB, refused unread";
    if (static_cast<std::uint64_t>(info.st_size) > limit) {
        return tooLarge;
    }
    content.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n > 0) {
            content.append(buffer, static_cast<std::size_t>(n));
            if (content.size() > limit) {  // it grew while it was read
                content.clear();
                return tooLarge;
            }
        } else if (n == 0) {
            return "";
        } else if (errno != EINTR) {
            return ErrnoText(errno);
        }
    }
}

std::string RegularFileProblem(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return errno == ENOENT ? "" : ErrnoText(errno);
    }
    if (S_ISDIR(info.st_mode)) {
        return ErrnoText(EISDIR);
    }
    return S_ISREG(info.st_mode) ? "" : "not a regular file";
}

int OpenLockFile(const std::string& path, std::string& error) {
    // Without waiting: a pipe planted in its place must not hold us up.
    Descriptor fd(
        ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666));
    if (fd.Get() < 0) {
        error = errno == ELOOP ? "a symbolic link, not a lock file of ours" : ErrnoText(errno);
        return -1;
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0) {
        error = ErrnoText(errno);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        error = "not a regular file";
        return -1;
    }
    if (info.st_uid != ::geteuid()) {
        error = "owned by another user, not a lock file of ours";
        return -1;
    }
    return fd.Release();
}

FileLock::FileLock(const std::string& lockPath, Kind kind) {
    const int fd = OpenLockFile(lockPath, error_);
    if (fd < 0) {
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
