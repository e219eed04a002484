#pragma once
// The write history's database: one SQLite file with a row per write the plug-in made, grouped
// by operation. Opening for writing creates the file and its tables; a file that is not a
// database, or one written by a newer version of the history, is refused and left as it is.
// Plain C++, no Qt.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "node/WriteRecorder.h"

struct sqlite3;

namespace history {

// The layout of the tables this program writes and reads (PRAGMA user_version).
inline constexpr int kSchemaVersion = 3;

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
    int lastPart = 0;  // the last configuration part it wrote; 0: none
};

class Store {
public:
    // Nothing, and the reason in error, when the file cannot serve.
    static std::unique_ptr<Store> OpenForWriting(const std::string& path, std::string& error);
    static std::unique_ptr<Store> OpenForReading(const std::string& path, std::string& error);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // The writes of one operation, in one transaction. False, with the reason, when it failed;
    // nothing of the operation is stored then.
    bool Append(const std::string& nodeName, const std::vector<node::WriteEvent>& writes,
                std::string& error);
    std::vector<Row> Rows(const Filter& filter, std::string& error) const;

    // A run is stored as it goes (each call its own transaction), so that the rows outlive a
    // run that is cut off. BeginRun gives the run's id, or 0 with the reason.
    std::int64_t BeginRun(const std::string& nodeName, const std::string& origin,
                          const std::string& file, std::int64_t timeMs, std::string& error);
    bool RunWrotePart(std::int64_t run, int part, std::string& error);
    bool EndRun(std::int64_t run, std::int64_t timeMs, std::string& error);
    // The node's runs that never ended and were not reported yet; they count as reported from
    // now on.
    std::vector<UnfinishedRun> TakeUnfinishedRuns(const std::string& nodeName, std::string& error);

private:
    explicit Store(sqlite3* db) : db_(db) {}
    static std::unique_ptr<Store> Open(const std::string& path, bool write, std::string& error);
    bool Prepare(std::string& error);
    bool UpdateRun(std::int64_t run, const char* column, std::int64_t value, std::string& error);

    sqlite3* db_;
};

}  // namespace history
