#pragma once
// What this PC's programs heard of each channel member's session and sequence, kept between
// their runs in the user's state folder. A new program starts from it, so that authenticated
// packets a router or a served node sent to an earlier run, kept and sent in again, are taken
// neither as new nor as a restart of that member. Every program adds what it heard when it ends.

#include <optional>
#include <string>

#include "lon/Channel.h"

namespace host {

class MemberMemory {
public:
    // Members kept at most: the ones heard last stay.
    static constexpr std::size_t kMostMembers = 1024;

    // path: the file; empty keeps nothing.
    explicit MemberMemory(std::string path) : path_(std::move(path)) {}
    // $XDG_STATE_HOME/vireo/channel-members, where the user's state folder is known.
    static MemberMemory ForUser();

    // What earlier runs heard; nothing where the file is missing. A line that does not read
    // is skipped: the memory only ever refuses more.
    lon::Channel::KnownMembers Load() const;
    // Merges what this run heard into the file, under its lock; the reason it could not, or
    // nothing.
    std::optional<std::string> Save(const lon::Channel::KnownMembers& heard) const;

    // The text of the memory, and the same read back (lines that do not read are skipped).
    static std::string Text(const lon::Channel::KnownMembers& members);
    static lon::Channel::KnownMembers Parse(const std::string& text);

private:
    std::string path_;
};

// A link's channel starts from what this user's earlier runs heard, and adds what it heard when
// it ends; where the memory cannot be written the run goes on (its packets were checked all the
// same).
void RecallMembers(lon::Channel& channel);
void KeepMembers(const lon::Channel& channel);

// What two runs heard of one member, as one: the same session keeps the later sequence; a
// session one of them knew replaced keeps the other; two sessions neither knew of keep the one
// heard now, with nothing refused for the other (which of the two is older is not known).
lon::SequenceFilter::State Merged(const lon::SequenceFilter::State& kept,
                                  const lon::SequenceFilter::State& now);

}  // namespace host
