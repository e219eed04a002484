#pragma once
// Files replaced as a careful editor replaces them, and locks between processes. Plain C++.
//
// A replacement writes a new file with a unique name beside the old one, flushes it and its
// folder to disk, and renames it over the old one, so that a reader sees the old content or
// the new, never a part. A symbolic link is followed and the file it names is replaced (the link
// stays); the replaced file keeps its permissions and owner; a read-only file is refused, never
// overwritten, and so is anything that is not a regular file. Every failure leaves the old file
// as it was, removes the temporary file, and is reported with the system's own reason.
//
// The temporary file (".NAME.XXXXXX") is locked while it is written; a save removes the
// temporaries of path that a process of ours left when it was killed (nobody holds their
// lock), never one that a live process is still writing.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The system's text for an errno value ("No such file or directory").
std::string ErrnoText(int error);

// Why path cannot be replaced, or "" when it can: it is absent (its folder must exist to be
// written, which the replacement reports) or, with its links followed, a regular file that may
// be written.
std::string ReplaceProblem(const std::string& path);

// Replaces the content of path (see above); makeFolder creates the missing folders first.
// flush false leaves the new file and its folder to the system's own write-back: still replaced
// atomically, but a power loss may bring the old content back. Returns "" or the reason,
// without the path.
std::string ReplaceFile(const std::string& path, std::string_view content, bool makeFolder = false,
                        bool flush = true);

// The most a file read whole may hold: settings, state and registry files are far smaller,
// and a larger one is refused before it is read.
inline constexpr std::uint64_t kWholeFileLimit = 16 * 1024 * 1024;

// Reads the whole file. Opened without waiting (a pipe would wait for a writer for good):
// anything but a regular file is refused ("not a regular file"), and so is a file larger than
// limit. Returns "" or the reason, without the path.
std::string ReadWholeFile(const std::string& path, std::string& content,
                          std::uint64_t limit = kWholeFileLimit);

// Why path cannot be opened as a file of ours to read and write in place (a database), or ""
// when it is absent or, with its links followed, a regular file.
std::string RegularFileProblem(const std::string& path);

// Makes path with content, as ReplaceFile writes it, only when nothing is there yet: of two
// processes making one file, exactly one succeeds and the other is told the file exists
// (EEXIST's text). Returns "" or the reason, without the path.
std::string CreateFile(const std::string& path, std::string_view content, bool makeFolder = false);

// Opens a lock file (made when missing) without following a link, and refuses one that is not
// a regular file owned by this user. The descriptor, or -1 with the reason in error.
int OpenLockFile(const std::string& path, std::string& error);

// The file a path names once its symbolic links are followed (a dangling link names the file it
// would create). Returns "" or the reason in error (a loop of links, a folder that cannot be
// searched).
std::string FollowLinks(const std::string& path, std::string& error);

// An advisory lock on a lock file (made when missing), held until the object goes. Shared locks
// let readers in together; an exclusive lock waits for every other holder.
class FileLock {
public:
    enum class Kind { Shared, Exclusive };
    FileLock() = default;
    // Waits for the lock. Locked() tells whether it was taken; Error() why not.
    FileLock(const std::string& lockPath, Kind kind);
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    bool Locked() const { return fd_ >= 0; }
    const std::string& Error() const { return error_; }

private:
    int fd_ = -1;
    std::string error_;
};

}  // namespace platform
