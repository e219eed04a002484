#pragma once
// The write history's database: one SQLite file with a row per write the plug-in made, grouped
// by operation. Opening for writing creates the file and its tables; a file that is not a
// database, or one written by a newer version of the history, is refused and left as it is.
// The file is kept in write-ahead-log mode with normal syncing: a committed write survives the
// program's crash, only the last commits may be lost when the machine loses power. Plain C++,
// no Qt.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "node/WriteRecorder.h"

struct sqlite3;

namespace history {

// The layout of the tables this program writes and reads (PRAGMA user_version).
inline constexpr int kSchemaVersion = 4;

// How long a writer waits for another program that holds the history.
inline constexpr int kBusyTimeoutMs = 30000;

// Where the history lives: $VIREO_HISTORY, else $XDG_DATA_HOME/vireo/history.sqlite, else
// ~/.local/share/vireo/history.sqlite. Nothing when VIREO_HISTORY is "off".
std::optional<std::string> HistoryPath();

// One stored write.
struct Row {
    std::int64_t operation = 0;  // writes of one button press or command share it
    std::string node;
    node::WriteEvent write;
};

// Which rows a listing wants.
struct Filter {
    std::optional<std::string> node;  // only this node
    std::int64_t sinceMs = 0;         // only writes at or after this time
};

// A download or factory defaults that started and never ended.
struct UnfinishedRun {
    std::string origin;  // "Download from file" or "Factory defaults"
    std::string file;    // the settings file of a download
    std::int64_t startedMs = 0;
    int lastPart = 0;  // the last configuration part the node took; 0: none
};

class Store {
public:
    // Nothing, and the reason in error, when the file cannot serve.
    static std::unique_ptr<Store> OpenForWriting(const std::string& path, std::string& error,
                                                 int busyTimeoutMs = kBusyTimeoutMs);
    static std::unique_ptr<Store> OpenForReading(const std::string& path, std::string& error);
    // The one writing connection of this process to the history at path, shared by every
    // recorder (the nodes of a command on many nodes), made on first use.
    static std::shared_ptr<Store> Shared(const std::string& path, std::string& error,
                                         int busyTimeoutMs = kBusyTimeoutMs);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // The writes as one new operation, in one transaction. False, with the reason, when it
    // failed; nothing of the operation is stored then.
    bool Append(const std::string& nodeName, const std::vector<node::WriteEvent>& writes,
                std::string& error);
    // One write, in a transaction of its own. operation 0 opens a new operation and is set to
    // its number; run: the download or factory defaults the write belongs to, 0 for none.
    bool AppendWrite(const std::string& nodeName, std::int64_t& operation, std::int64_t run,
                     const node::WriteEvent& write, std::string& error);
    std::vector<Row> Rows(const Filter& filter, std::string& error) const;
    // The rows one at a time, oldest first, without holding them all.
    bool EachRow(const Filter& filter, const std::function<void(const Row&)>& visit,
                 std::string& error) const;

    // A run is kept from its start, with this process's run lock (see RunLock.h), so that one
    // cut off is known. BeginRun gives the run's id, or 0 with the reason. nodeIdentity tells
    // the node from every other; the name is for the report.
    std::int64_t BeginRun(const std::string& nodeIdentity, const std::string& nodeName,
                          const std::string& origin, const std::string& file, std::int64_t timeMs,
                          std::string& error);
    // When the history cannot take the end now (another program holds it), the run's lock
    // file keeps it; the run is not reported then.
    bool EndRun(std::int64_t run, std::int64_t timeMs, std::string& error);
    // This process's run lock file, once a run began; "" before.
    std::string RunLockFile() const { return runLock_.value_or(""); }
    // The node's runs whose process is gone without ending them, not reported yet; they count
    // as reported from now on. Runs still going on are left for a later look. A run written
    // by an older version, which knew the node only by name, is matched by name.
    std::vector<UnfinishedRun> TakeUnfinishedRuns(const std::string& nodeIdentity,
                                                  const std::string& nodeName, std::string& error);

private:
    Store(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}
    static std::unique_ptr<Store> Open(const std::string& path, bool write, int busyTimeoutMs,
                                       std::string& error);
    bool Prepare(bool write, std::string& error);
    bool InsertWrite(const std::string& nodeName, std::int64_t operation, std::int64_t run,
                     const node::WriteEvent& write, std::string& error);

    sqlite3* db_;
    std::string path_;
    // One transaction at a time on the connection, whichever thread asks.
    mutable std::mutex turn_;
    std::optional<std::string> runLock_;
};

}  // namespace history
