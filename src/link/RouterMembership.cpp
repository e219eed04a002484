#include "link/RouterMembership.h"

#include <algorithm>

namespace host {

RouterMembership::RouterMembership(RouterRules rules) : rules_(std::move(rules)) {}

bool RouterMembership::Admits(const lon::Endpoint& from) {
    if (std::find(rules_.members.begin(), rules_.members.end(), from) != rules_.members.end()) {
        return true;
    }
    if (!rules_.open) {
        return false;
    }
    constexpr std::size_t kMostHeard = 256;
    if (heard_.size() < kMostHeard) {
        heard_.insert(from);
    }
    return true;
}

std::vector<lon::Endpoint> RouterMembership::Recipients() const {
    std::vector<lon::Endpoint> to(rules_.members.begin(), rules_.members.end());
    for (const lon::Endpoint& member : heard_) {
        if (std::find(to.begin(), to.end(), member) == to.end()) {
            to.push_back(member);
        }
    }
    return to;
}

void RouterMembership::Attach(lon::Channel& channel) {
    channel.SetAdmission([this](const lon::Endpoint& from) { return Admits(from); });
}

}  // namespace host
