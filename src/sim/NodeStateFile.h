#pragma once
// The simulated node's state file: a human-readable JSON document with the node's name, its
// Program ID and the bytes of every variable and configuration part, checked on load and saved
// atomically. Processes that share a state file take turns through a lock file beside it
// ("node.json.lock"): every write is applied to the latest saved state and saved under the lock,
// and reads see the latest saved state.

#include <sys/types.h>
#include <ctime>
#include <string>

#include "sim/SimNode.h"

namespace host {

// $XDG_STATE_HOME/vireo/node.json, or ~/.local/state/vireo/node.json.
std::string DefaultNodeStatePath();

// What tells a simulated node from every other node of the same name: its state file's real
// path (the path itself where it cannot be resolved).
std::string StateFileIdentity(const std::string& path);

// Loads the state into node. On failure returns a message naming the file and the bad field,
// and leaves node as it was.
std::string LoadNodeState(const std::string& path, SimNode& node);

// Writes the state as a careful editor does (a unique temporary file beside the file, synced,
// renamed over it; a link followed; mode and owner kept; a read-only file or anything but a
// regular file refused). Returns an error message, or an empty text on success.
// flush false: the save is not flushed to disk (see platform::ReplaceFile).
std::string SaveNodeState(const std::string& path, const SimNode& node, bool flush = true);

// Makes a new state file at path, never over an existing one: of two processes making one
// file, exactly one succeeds; existed tells the other that the file is there.
std::string CreateNodeState(const std::string& path, const SimNode& node, bool& existed);

// Whether a state file is at path. A path that cannot be told (a folder that cannot be
// searched, a loop of links, a name too long) gives false and the reason in error.
bool StateFileExists(const std::string& path, std::string& error);

// Loads the node of the state file at path, or leaves the factory node when there is none yet.
// "" or the message naming the file.
std::string LoadExistingState(const std::string& path, SimNode& node);

// The state file as the node's store: reads reload a state another process saved, writes are
// saved under the lock (a write that cannot be saved fails, and the node keeps the state saved).
class StateFileStore : public NodeStore {
public:
    explicit StateFileStore(std::string path);
    void BeforeRead(SimNode& node) override;
    bool Write(SimNode& node, const std::function<bool()>& change, bool durable) override;
    // The reason the last failed save or reload gave; "" while all went well.
    const std::string& Error() const { return error_; }
    const std::string& Path() const { return path_; }

private:
    // What tells one saved state from another: every save makes a new file.
    struct Stamp {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
        bool operator==(const Stamp& other) const;
    };
    Stamp Current() const;
    std::string ReloadIfChanged(SimNode& node);

    std::string path_;
    std::string lockPath_;
    Stamp seen_;
    std::string error_;
    bool folderMade_ = false;
};

}  // namespace host
