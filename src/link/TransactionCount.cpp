#include "link/TransactionCount.h"

#include <sys/file.h>
#include <unistd.h>

#include <filesystem>

#include "framework/SafeFile.h"
#include "framework/XdgPaths.h"
#include "link/LinkSettings.h"
#include "lon/Transactions.h"

namespace host {

TransactionCount::TransactionCount(const std::string& path) {
    if (path.empty()) {
        return;
    }
    std::error_code ignored;  // a folder that cannot be made fails the open below
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    std::string problem;
    fd_ = platform::OpenLockFile(path, problem);
}

TransactionCount::~TransactionCount() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::string TransactionCount::PathFor(const lon::Domain& domain, const lon::SubnetNode& source) {
    const std::string runtime = platform::XdgRuntimeDir();
    if (runtime.empty()) {
        return {};
    }
    return runtime + "/vireo/transactions/" + DomainText(domain) + "-" +
           std::to_string(source.subnet) + "-" + std::to_string(source.node);
}

std::uint8_t TransactionCount::Next() {
    const std::lock_guard guard(mutex_);
    if (fd_ < 0 || ::flock(fd_, LOCK_EX) != 0) {
        alone_ = lon::NextTransaction(alone_);
        return alone_;
    }
    std::uint8_t last = 0;
    if (::pread(fd_, &last, 1, 0) != 1) {
        last = alone_;
    }
    const std::uint8_t next = lon::NextTransaction(last & 0x0F);
    if (::pwrite(fd_, &next, 1, 0) != 1) {
        // Counted alone this once; the next call tries the file again.
    }
    ::flock(fd_, LOCK_UN);
    alone_ = next;
    return next;
}

}  // namespace host
