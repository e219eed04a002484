#include "link/MemberMemory.h"

#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "framework/SafeFile.h"
#include "framework/XdgPaths.h"
#include "link/LinkSettings.h"

namespace host {
namespace {

bool Knows(const lon::SequenceFilter::State& state, std::uint32_t session) {
    return std::ranges::find(state.earlier, session) != state.earlier.end();
}

// Both lists of earlier sessions, each once, the latest last, at most as many as a filter keeps.
std::vector<std::uint32_t> EarlierOfBoth(const lon::SequenceFilter::State& a,
                                         const lon::SequenceFilter::State& b) {
    std::vector<std::uint32_t> earlier = a.earlier;
    for (const std::uint32_t session : b.earlier) {
        if (!Knows(a, session)) {
            earlier.push_back(session);
        }
    }
    const std::size_t most = lon::SequenceFilter::kEarlierSessions;
    if (earlier.size() > most) {
        earlier.erase(earlier.begin(), earlier.end() - static_cast<std::ptrdiff_t>(most));
    }
    return earlier;
}

std::optional<lon::Endpoint> ReadEndpoint(const std::string& text) {
    lon::Endpoint endpoint;
    if (ParseEndpoint(text, endpoint)) {
        return std::nullopt;
    }
    return endpoint;
}

}  // namespace

lon::SequenceFilter::State Merged(const lon::SequenceFilter::State& kept,
                                  const lon::SequenceFilter::State& now) {
    if (!kept.session) {
        return now;
    }
    if (!now.session) {
        return kept;
    }
    lon::SequenceFilter::State merged;
    if (*kept.session == *now.session) {
        merged = now;
        if (static_cast<std::int32_t>(kept.last - now.last) > 0) {
            merged.last = kept.last;
        }
    } else if (Knows(now, *kept.session)) {
        merged = now;
    } else if (Knows(kept, *now.session)) {
        merged = kept;
    } else {
        merged = now;
    }
    merged.earlier = EarlierOfBoth(kept, now);
    std::erase(merged.earlier, *merged.session);
    return merged;
}

MemberMemory MemberMemory::ForUser() {
    const std::string state = platform::XdgStateHome();
    return MemberMemory(state.empty() || state[0] != '/' ? std::string()
                                                         : state + "/vireo/channel-members");
}

std::string MemberMemory::Text(const lon::Channel::KnownMembers& members) {
    std::string text;
    char number[16];
    for (const auto& [member, state] : members) {
        if (!state.session) {
            continue;
        }
        text += EndpointText(member);
        for (const std::uint32_t value : {*state.session, state.last}) {
            std::snprintf(number, sizeof number, " %08" PRIx32, value);
            text += number;
        }
        for (const std::uint32_t earlier : state.earlier) {
            std::snprintf(number, sizeof number, " %08" PRIx32, earlier);
            text += number;
        }
        text += '\n';
    }
    return text;
}

lon::Channel::KnownMembers MemberMemory::Parse(const std::string& text) {
    lon::Channel::KnownMembers members;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line) && members.size() < kMostMembers;) {
        std::istringstream words(line);
        std::string where;
        words >> where;
        std::vector<std::uint32_t> numbers;
        for (std::string word; words >> word;) {
            char* end = nullptr;
            const unsigned long value = std::strtoul(word.c_str(), &end, 16);
            if (word.size() > 8 || end == nullptr || *end != '\0') {
                numbers.clear();
                break;
            }
            numbers.push_back(static_cast<std::uint32_t>(value));
        }
        const std::optional<lon::Endpoint> member = ReadEndpoint(where);
        if (!member || numbers.size() < 2 ||
            numbers.size() > 2 + lon::SequenceFilter::kEarlierSessions) {
            continue;
        }
        members[*member] = {numbers[0], numbers[1], {numbers.begin() + 2, numbers.end()}};
    }
    return members;
}

lon::Channel::KnownMembers MemberMemory::Load() const {
    std::string text;
    if (path_.empty() || !platform::ReadWholeFile(path_, text).empty()) {
        return {};
    }
    return Parse(text);
}

std::optional<std::string> MemberMemory::Save(const lon::Channel::KnownMembers& heard) const {
    if (path_.empty() || heard.empty()) {
        return std::nullopt;
    }
    std::error_code ignored;  // a folder that cannot be made fails the lock below
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ignored);
    std::string problem;
    const int lock = platform::OpenLockFile(path_ + ".lock", problem);
    if (lock < 0) {
        return path_ + ": " + problem;
    }
    ::flock(lock, LOCK_EX);
    lon::Channel::KnownMembers members = Load();
    for (const auto& [member, state] : heard) {
        const auto kept = members.find(member);
        members[member] = kept == members.end() ? state : Merged(kept->second, state);
    }
    // Too many: the members this run did not hear go first.
    for (auto it = members.begin(); members.size() > kMostMembers && it != members.end();) {
        it = heard.contains(it->first) ? std::next(it) : members.erase(it);
    }
    problem = platform::ReplaceFile(path_, Text(members), false, false);
    ::close(lock);
    return problem.empty() ? std::nullopt : std::optional(path_ + ": " + problem);
}

void RecallMembers(lon::Channel& channel) {
    channel.RememberMembers(MemberMemory::ForUser().Load());
}

void KeepMembers(const lon::Channel& channel) {
    if (MemberMemory::ForUser().Save(channel.Members())) {
        // Not kept: the next run knows less, and refuses less; nothing this run did is lost.
    }
}

}  // namespace host
