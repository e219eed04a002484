#include "history/HistoryStore.h"

#include "platform/SafeFile.h"

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace history {
namespace {

// Many nodes of one command write their histories at the same moment, each through a
// connection of its own; a writer waits its turn rather than turning the history off.
constexpr int kBusyTimeoutMs = 30000;

// The writers of this process (the nodes of a command on many nodes) take turns here, where
// the next one starts the moment the last one is done; SQLite's own lock, which its waiters
// poll, is left to other processes.
std::mutex& WriterTurn() {
    static std::mutex turn;
    return turn;
}

constexpr const char* kCreate =
    "CREATE TABLE IF NOT EXISTS writes ("
    " id INTEGER PRIMARY KEY,"
    " operation INTEGER NOT NULL,"
    " time_ms INTEGER NOT NULL,"
    " node TEXT NOT NULL,"
    " origin TEXT NOT NULL,"
    " nv INTEGER NOT NULL,"
    " part INTEGER NOT NULL,"
    " bytes BLOB NOT NULL,"
    " succeeded INTEGER NOT NULL,"
    " before BLOB);"
    "CREATE INDEX IF NOT EXISTS writes_by_time ON writes (time_ms);"
    // Each row of a new operation looks up the last operation number: without the index that
    // was a walk over the whole history for every row. Added in version 3.
    "CREATE INDEX IF NOT EXISTS writes_by_operation ON writes (operation);"
    // Downloads and factory defaults, kept from their start: a run without an end never
    // finished. Added in version 2; a version 1 file gains the table when first written.
    "CREATE TABLE IF NOT EXISTS runs ("
    " id INTEGER PRIMARY KEY,"
    " node TEXT NOT NULL,"
    " origin TEXT NOT NULL,"
    " file TEXT NOT NULL,"
    " started_ms INTEGER NOT NULL,"
    " last_part INTEGER NOT NULL DEFAULT 0,"
    " ended_ms INTEGER,"
    " reported INTEGER NOT NULL DEFAULT 0);"
    "CREATE INDEX IF NOT EXISTS runs_by_node ON runs (node);";

// A prepared statement that finalizes itself.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return stmt_; }
    explicit operator bool() const { return stmt_ != nullptr; }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

std::string Reason(sqlite3* db) {
    return db != nullptr ? sqlite3_errmsg(db) : "out of memory";
}

void BindBytes(sqlite3_stmt* stmt, int index, const node::Bytes& bytes) {
    // A zero-length blob binds as an empty value, not as NULL.
    static const std::uint8_t kNone = 0;
    sqlite3_bind_blob(stmt, index, bytes.empty() ? &kNone : bytes.data(),
                      static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

node::Bytes ColumnBytes(sqlite3_stmt* stmt, int column) {
    const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(stmt, column));
    return node::Bytes(data, data + sqlite3_column_bytes(stmt, column));
}

std::string ColumnText(sqlite3_stmt* stmt, int column) {
    const auto* text = sqlite3_column_text(stmt, column);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

bool Exec(sqlite3* db, const char* sql, std::string& error) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        error = Reason(db);
        return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> HistoryPath() {
    if (const char* set = std::getenv("VIREO_HISTORY"); set != nullptr && *set != '\0') {
        if (std::string(set) == "off") {
            return std::nullopt;
        }
        return std::string(set);
    }
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data == '/') {
        return std::string(data) + "/vireo/history.sqlite";
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.local/share/vireo/history.sqlite";
}

std::unique_ptr<Store> Store::Open(const std::string& path, bool write, std::string& error) {
    if (write) {
        std::error_code ignored;  // a folder that cannot be made fails the open below
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    } else if (std::error_code missing; !std::filesystem::exists(path, missing)) {
        error = path + ": no history yet";
        return nullptr;
    }
    if (const std::string problem = platform::RegularFileProblem(path); !problem.empty()) {
        error = "cannot open " + path + ": " + problem;  // SQLite would wait on a pipe
        return nullptr;
    }
    sqlite3* db = nullptr;
    const int flags = write ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY;
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        error = "cannot open " + path + ": " + Reason(db);
        sqlite3_close(db);
        return nullptr;
    }
    std::unique_ptr<Store> store(new Store(db));
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    if (write && sqlite3_db_readonly(db, "main") == 1) {
        error = path + " is read-only";
        return nullptr;
    }
    if (!store->Prepare(error)) {
        error = path + ": " + error;
        return nullptr;
    }
    if (write) {
        // The rollback journal stays beside the file between transactions instead of being made
        // and deleted for each one: a download writes fifteen of them, and a hundred nodes at
        // once write fifteen hundred. The file's format and its readers are as before.
        std::string ignored;
        Exec(db, "PRAGMA journal_mode = PERSIST", ignored);
    }
    return store;
}

std::unique_ptr<Store> Store::OpenForWriting(const std::string& path, std::string& error) {
    return Open(path, true, error);
}

std::unique_ptr<Store> Store::OpenForReading(const std::string& path, std::string& error) {
    return Open(path, false, error);
}

Store::~Store() {
    sqlite3_close(db_);
}

bool Store::Prepare(std::string& error) {
    const std::lock_guard<std::mutex> turn(WriterTurn());
    const Statement version(db_, "PRAGMA user_version");
    if (!version || sqlite3_step(version.get()) != SQLITE_ROW) {
        error = "not a history database (" + Reason(db_) + ")";
        return false;
    }
    const int found = sqlite3_column_int(version.get(), 0);
    if (found > kSchemaVersion) {
        error = "written by a newer Vireo (history version " + std::to_string(found) +
                "; this one knows " + std::to_string(kSchemaVersion) + "), left as it is";
        return false;
    }
    if (found == kSchemaVersion) {
        return true;
    }
    // An older file reads as it is: its writes table has not changed.
    if (sqlite3_db_readonly(db_, "main") == 1 && found > 0) {
        return true;
    }
    if (sqlite3_db_readonly(db_, "main") == 1) {
        error = "no history tables";
        return false;
    }
    const std::string setVersion = "PRAGMA user_version = " + std::to_string(kSchemaVersion);
    return Exec(db_, "BEGIN IMMEDIATE", error) && Exec(db_, kCreate, error) &&
           Exec(db_, setVersion.c_str(), error) && Exec(db_, "COMMIT", error);
}

bool Store::Append(const std::string& nodeName, const std::vector<node::WriteEvent>& writes,
                   std::string& error) {
    const std::lock_guard<std::mutex> turn(WriterTurn());
    if (!Exec(db_, "BEGIN IMMEDIATE", error)) {
        return false;
    }
    const Statement insert(db_,
                           "INSERT INTO writes (operation, time_ms, node, origin, nv, part, bytes,"
                           " succeeded, before) VALUES ((SELECT coalesce(max(operation), 0) + ?1"
                           " FROM writes), ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
    bool ok = static_cast<bool>(insert);
    bool first = true;
    for (const node::WriteEvent& write : writes) {
        if (!ok) {
            break;
        }
        sqlite3_stmt* s = insert.get();
        sqlite3_reset(s);
        // The first row opens a new operation; the others join it.
        sqlite3_bind_int(s, 1, first ? 1 : 0);
        sqlite3_bind_int64(s, 2, write.timeMs);
        sqlite3_bind_text(s, 3, nodeName.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 4, write.origin.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(s, 5, write.nv);
        sqlite3_bind_int(s, 6, write.part);
        BindBytes(s, 7, write.bytes);
        sqlite3_bind_int(s, 8, write.succeeded ? 1 : 0);
        if (write.before) {
            BindBytes(s, 9, *write.before);
        } else {
            sqlite3_bind_null(s, 9);
        }
        ok = sqlite3_step(s) == SQLITE_DONE;
        first = false;
    }
    if (!ok) {
        error = Reason(db_);
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    return Exec(db_, "COMMIT", error);
}

std::vector<Row> Store::Rows(const Filter& filter, std::string& error) const {
    std::vector<Row> rows;
    const Statement query(db_,
                          "SELECT operation, time_ms, node, origin, nv, part, bytes, succeeded,"
                          " before FROM writes WHERE (?1 IS NULL OR node = ?1) AND time_ms >= ?2"
                          " ORDER BY id");
    if (!query) {
        error = Reason(db_);
        return rows;
    }
    sqlite3_stmt* s = query.get();
    if (filter.node) {
        sqlite3_bind_text(s, 1, filter.node->c_str(), -1, SQLITE_TRANSIENT);
    }
    sqlite3_bind_int64(s, 2, filter.sinceMs);
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(s)) == SQLITE_ROW) {
        Row row;
        row.operation = sqlite3_column_int64(s, 0);
        row.write.timeMs = sqlite3_column_int64(s, 1);
        row.node = ColumnText(s, 2);
        row.write.origin = ColumnText(s, 3);
        row.write.nv = sqlite3_column_int(s, 4);
        row.write.part = sqlite3_column_int(s, 5);
        row.write.bytes = ColumnBytes(s, 6);
        row.write.succeeded = sqlite3_column_int(s, 7) != 0;
        if (sqlite3_column_type(s, 8) != SQLITE_NULL) {
            row.write.before = ColumnBytes(s, 8);
        }
        rows.push_back(std::move(row));
    }
    if (step != SQLITE_DONE) {
        error = Reason(db_);
    }
    return rows;
}

std::int64_t Store::BeginRun(const std::string& nodeName, const std::string& origin,
                             const std::string& file, std::int64_t timeMs, std::string& error) {
    const std::lock_guard<std::mutex> turn(WriterTurn());
    const Statement insert(db_,
                           "INSERT INTO runs (node, origin, file, started_ms) VALUES (?1, ?2, ?3,"
                           " ?4)");
    if (!insert) {
        error = Reason(db_);
        return 0;
    }
    sqlite3_bind_text(insert.get(), 1, nodeName.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert.get(), 2, origin.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert.get(), 3, file.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(insert.get(), 4, timeMs);
    if (sqlite3_step(insert.get()) != SQLITE_DONE) {
        error = Reason(db_);
        return 0;
    }
    return sqlite3_last_insert_rowid(db_);
}

bool Store::UpdateRun(std::int64_t run, const char* column, std::int64_t value,
                      std::string& error) {
    const std::lock_guard<std::mutex> turn(WriterTurn());
    const std::string sql = std::string("UPDATE runs SET ") + column + " = ?1 WHERE id = ?2";
    const Statement update(db_, sql.c_str());
    if (!update) {
        error = Reason(db_);
        return false;
    }
    sqlite3_bind_int64(update.get(), 1, value);
    sqlite3_bind_int64(update.get(), 2, run);
    if (sqlite3_step(update.get()) != SQLITE_DONE) {
        error = Reason(db_);
        return false;
    }
    return true;
}

// A part written is kept for the next process to see, not flushed to the disk: a killed
// program loses nothing by it, and a run's twelve parts do not wait for twelve disk flushes.
bool Store::RunWrotePart(std::int64_t run, int part, std::string& error) {
    std::string ignored;
    Exec(db_, "PRAGMA synchronous = OFF", ignored);
    const bool updated = UpdateRun(run, "last_part", part, error);
    Exec(db_, "PRAGMA synchronous = FULL", ignored);
    return updated;
}

bool Store::EndRun(std::int64_t run, std::int64_t timeMs, std::string& error) {
    return UpdateRun(run, "ended_ms", timeMs, error);
}

std::vector<UnfinishedRun> Store::TakeUnfinishedRuns(const std::string& nodeName,
                                                     std::string& error) {
    const std::lock_guard<std::mutex> turn(WriterTurn());
    std::vector<UnfinishedRun> runs;
    if (!Exec(db_, "BEGIN IMMEDIATE", error)) {
        return runs;
    }
    const Statement query(db_,
                          "SELECT origin, file, started_ms, last_part FROM runs WHERE node = ?1"
                          " AND ended_ms IS NULL AND reported = 0 ORDER BY id");
    const Statement mark(db_, "UPDATE runs SET reported = 1 WHERE node = ?1 AND ended_ms IS NULL");
    if (!query || !mark) {
        error = Reason(db_);
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return runs;
    }
    sqlite3_bind_text(query.get(), 1, nodeName.c_str(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(query.get()) == SQLITE_ROW) {
        runs.push_back({ColumnText(query.get(), 0), ColumnText(query.get(), 1),
                        sqlite3_column_int64(query.get(), 2), sqlite3_column_int(query.get(), 3)});
    }
    sqlite3_bind_text(mark.get(), 1, nodeName.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(mark.get()) != SQLITE_DONE || !Exec(db_, "COMMIT", error)) {
        error = Reason(db_);
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return {};
    }
    return runs;
}

}  // namespace history
