#include "sim/OperationLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <thread>

#include "framework/SafeFile.h"
#include "framework/XdgPaths.h"

namespace host {
namespace {

// How often a waiting process looks whether the node is free: short against an operation's
// seconds of pauses, long enough to cost nothing.
constexpr std::chrono::milliseconds kPollInterval{20};
constexpr std::size_t kHolderTextLimit = 200;

}  // namespace

OperationLock::OperationLock(std::string nodeName, std::string lockPath, Waiting waiting)
    : nodeName_(std::move(nodeName)),
      lockPath_(std::move(lockPath)),
      waiting_(std::move(waiting)) {}

OperationLock::~OperationLock() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::string OperationLock::PathForStateFile(const std::string& stateFile) {
    std::string error;
    const std::string target = platform::FollowLinks(stateFile, error);
    return (target.empty() ? stateFile : target) + ".operation.lock";
}

std::string OperationLock::PathForLinkedNode(const std::string& wireName) {
    // The runtime folder is this user's alone; without one, the user's state folder.
    const std::string runtime = platform::XdgRuntimeDir();
    const std::string folder =
        (runtime.empty() ? platform::XdgStateHome() : runtime) + "/vireo/linked-nodes";
    // A file name of the wire name's letters and digits; the rest as their hexadecimal codes,
    // so that two names never share a file.
    std::string file;
    for (const char c : wireName) {
        if (std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '.') {
            file += c;
        } else {
            constexpr std::string_view kHex = "0123456789abcdef";
            const auto code = static_cast<unsigned char>(c);
            file += '_';
            file += kHex[code >> 4];
            file += kHex[code & 15];
        }
    }
    // A host name may be long: past a file name's length, its start and a checksum of it all.
    constexpr std::size_t kLongest = 160;
    if (file.size() > kLongest) {
        std::uint64_t sum = 14695981039346656037ULL;  // FNV-1a
        for (const char c : wireName) {
            sum = (sum ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
        }
        file = file.substr(0, kLongest) + "_" + std::to_string(sum);
    }
    return folder + "/" + file + ".operation.lock";
}

std::string OperationLock::ThisProcess() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string command;
    for (std::string word; std::getline(in, word, '\0');) {
        // The program by its file name; the words appended one by one (GCC 12 at -O3 takes a
        // "literal + temporary" for an overlapping copy, -Wrestrict).
        const std::size_t slash = command.empty() ? word.rfind('/') : std::string::npos;
        if (!command.empty()) {
            command += ' ';
        }
        command += slash == std::string::npos ? word : word.substr(slash + 1);
    }
    if (command.size() > kHolderTextLimit) {
        command = command.substr(0, kHolderTextLimit) + "...";
    }
    const std::string pid = "process " + std::to_string(::getpid());
    return command.empty() ? pid : pid + " (" + command + ")";
}

// Read from the lock file we opened, never by its name again: another file may stand there.
std::string OperationLock::Holder() const {
    std::string holder(kHolderTextLimit + 64, '\0');
    const ssize_t n = ::pread(fd_, holder.data(), holder.size(), 0);
    holder.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    holder.resize(std::min(holder.find('\n'), holder.size()));
    return holder.empty() ? "another process" : holder;
}

// One attempt: true when this process now holds the lock file; holder names who has it else.
bool OperationLock::TakeOnce(std::string& holder) {
    if (fd_ < 0) {
        // A new node's folder is made by its first write; the lock comes before that.
        std::error_code ignored;  // a folder that cannot be made fails the open below
        std::filesystem::create_directories(std::filesystem::path(lockPath_).parent_path(),
                                            ignored);
        // A planted link must not make us create or lock a file elsewhere.
        std::string problem;
        fd_ = platform::OpenLockFile(lockPath_, problem);
        if (fd_ < 0) {
            error_ = "node " + nodeName_ + ": lock file " + lockPath_ + ": " + problem;
            return false;
        }
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        const std::string me = ThisProcess() + "\n";
        if (::ftruncate(fd_, 0) != 0 || ::pwrite(fd_, me.data(), me.size(), 0) < 0) {
            // The lock holds all the same; only the waiting processes' message is poorer.
        }
        return true;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) {
        error_ =
            "node " + nodeName_ + ": lock file " + lockPath_ + ": " + platform::ErrnoText(errno);
        return false;
    }
    holder = Holder();
    return false;
}

bool OperationLock::Acquire() {
    if (depth_ > 0) {
        ++depth_;
        return true;
    }
    error_.clear();
    const auto start = std::chrono::steady_clock::now();
    bool told = false;
    for (;;) {
        std::string holder;
        if (TakeOnce(holder)) {
            depth_ = 1;
            return true;
        }
        if (!error_.empty()) {
            return false;
        }
        const std::string inUse = "node " + nodeName_ + " is in use by " + holder;
        if (!waiting_.wait) {
            error_ = inUse + "; not waiting (--no-wait)";
            return false;
        }
        if (waiting_.stop && waiting_.stop()) {
            error_ = inUse + "; stopped waiting";
            return false;
        }
        if (!told && std::chrono::steady_clock::now() - start >= waiting_.noticeAfter) {
            told = true;
            if (waiting_.notice) {
                waiting_.notice("waiting: " + inUse);
            }
        }
        std::this_thread::sleep_for(kPollInterval);
    }
}

void OperationLock::Release() {
    if (depth_ == 0 || --depth_ > 0) {
        return;
    }
    // The holder's name goes before the lock, so nobody reads it as the next holder's.
    if (::ftruncate(fd_, 0) != 0) {
        // Harmless: the next holder writes its own name over it.
    }
    ::flock(fd_, LOCK_UN);
    // Closed until the next hold: a site's nodes hold no file between their operations.
    ::close(fd_);
    fd_ = -1;
}

}  // namespace host
