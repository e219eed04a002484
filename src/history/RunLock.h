#pragma once
// Whether a download or factory defaults that has no end in the history is still going on.
// Every process that runs one holds a lock file of its own in the history's folder
// (history.sqlite.runs/), flocked for the process's life, and each run names that file. The
// kernel lets the lock go when the process ends however it ends, so a run whose lock can be
// taken is over: it ended (a line "ended RUN TIME_MS" in the file when the history could not
// take the end at the time) or it was cut off. Plain C++, no Qt.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace history {

// This process's lock file for the history at historyPath, made and locked on first use;
// nothing, with the reason, when it cannot be. inUse: whether a run still names a lock file
// that is no longer held (such files are removed when this process makes its own).
std::optional<std::string> ProcessRunLock(const std::string& historyPath,
                                          const std::function<bool(const std::string&)>& inUse,
                                          std::string& error);

// Notes in this process's lock file that the run ended at timeMs.
bool NoteRunEnded(const std::string& lockFile, std::int64_t run, std::int64_t timeMs);

struct RunState {
    bool running = false;
    std::optional<std::int64_t> endedMs;  // over, and it ended then
};

// Where the run that names lockFile stands. A run without a lock file (written by an older
// version) counts as over.
RunState JudgeRun(const std::string& lockFile, std::int64_t run);

}  // namespace history
