#include "history/RunLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>

namespace history {
namespace {

namespace fs = std::filesystem;

// A lock file is made under a name starting with a dot, locked, and only then renamed to its
// final name, so that no one else ever sees it unlocked while its maker lives.
constexpr const char* kMaking = ".making-";

struct Held {
    pid_t pid = 0;  // a forked child shares its parent's lock, so it makes one of its own
    int fd = -1;
    std::string file;
};

std::mutex& LocksMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<std::string, Held>& Locks() {
    static std::map<std::string, Held> locks;  // by history path; held until the process ends
    return locks;
}

// Removes the lock files of processes that are gone and that no run needs any more.
void SweepGone(const fs::path& folder, const std::function<bool(const std::string&)>& inUse) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string file = entry.path().string();
        if (entry.path().filename().string().starts_with(".")) {
            continue;
        }
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && !inUse(file)) {
            ::unlink(file.c_str());
        }
        ::close(fd);
    }
}

}  // namespace

std::optional<std::string> ProcessRunLock(const std::string& historyPath,
                                          const std::function<bool(const std::string&)>& inUse,
                                          std::string& error) {
    const std::lock_guard<std::mutex> lock(LocksMutex());
    Held& held = Locks()[historyPath];
    if (held.fd >= 0 && held.pid == ::getpid()) {
        return held.file;
    }
    if (held.fd >= 0) {
        ::close(held.fd);  // the parent's, in a forked child
        held.fd = -1;
    }
    const fs::path folder = historyPath + ".runs";
    std::error_code made;
    fs::create_directories(folder, made);
    std::string making = (folder / (std::string(kMaking) + "XXXXXX")).string();
    const int fd = ::mkostemp(making.data(), O_CLOEXEC);
    if (fd < 0) {
        error = "cannot make a lock file in " + folder.string();
        return std::nullopt;
    }
    const std::string file =
        (folder / (std::to_string(::getpid()) + making.substr(making.size() - 7))).string();
    if (::flock(fd, LOCK_EX) != 0 || ::rename(making.c_str(), file.c_str()) != 0) {
        error = "cannot lock " + file;
        ::close(fd);
        ::unlink(making.c_str());
        return std::nullopt;
    }
    SweepGone(folder, inUse);
    held = {::getpid(), fd, file};
    return file;
}

bool NoteRunEnded(const std::string& lockFile, std::int64_t run, std::int64_t timeMs) {
    const std::lock_guard<std::mutex> lock(LocksMutex());
    for (const auto& [path, held] : Locks()) {
        if (held.file == lockFile && held.pid == ::getpid()) {
            char line[64];
            const int length =
                std::snprintf(line, sizeof line, "ended %" PRId64 " %" PRId64 "\n", run, timeMs);
            ::lseek(held.fd, 0, SEEK_END);
            return ::write(held.fd, line, static_cast<std::size_t>(length)) == length;
        }
    }
    return false;
}

RunState JudgeRun(const std::string& lockFile, std::int64_t run) {
    RunState state;
    const int fd = lockFile.empty() ? -1 : ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return state;
    }
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
        state.running = true;
    } else if (FILE* in = ::fdopen(::dup(fd), "r"); in != nullptr) {
        std::int64_t ended = 0;
        std::int64_t timeMs = 0;
        while (std::fscanf(in, "ended %" SCNd64 " %" SCNd64 "\n", &ended, &timeMs) == 2) {
            if (ended == run) {
                state.endedMs = timeMs;
            }
        }
        std::fclose(in);
    }
    ::close(fd);
    return state;
}

}  // namespace history
