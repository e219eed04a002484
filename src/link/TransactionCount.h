#pragma once
// The transaction numbers of every program of this PC that sends from one source address: one
// count in a small file of the user's runtime folder, taken under its lock. Two programs that
// reach one node at the same time (a sheet's live refresh beside a download) then never give it
// the same number one after the other, and neither takes the other's answer for its own.

#include <cstdint>
#include <mutex>
#include <string>

#include "lon/Packet.h"

namespace host {

class TransactionCount {
public:
    // path: the count's file; where it cannot be used, this program counts alone.
    explicit TransactionCount(const std::string& path);
    ~TransactionCount();
    TransactionCount(const TransactionCount&) = delete;
    TransactionCount& operator=(const TransactionCount&) = delete;

    // The count of this user's programs that send from source in domain.
    static std::string PathFor(const lon::Domain& domain, const lon::SubnetNode& source);

    // The next number: 1 to 15 and around to 1. Any thread.
    std::uint8_t Next();
    bool Shared() const { return fd_ >= 0; }

private:
    std::mutex mutex_;  // the file's lock keeps programs apart, not threads of one
    int fd_ = -1;
    std::uint8_t alone_ = 0;
};

}  // namespace host
