#include "history/HistoryStore.h"

#include "framework/SafeFile.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "framework/XdgPaths.h"
#include "history/RunLock.h"
#include "node/NodeVariableMap.h"

namespace history {
namespace {

// The tables as version 3 left them; version 4 adds to them (kToVersion4).
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

// Version 4: a run knows its node by identity and its process by its lock file, and each write
// of a run names it, so that the last part the node took is read from the writes themselves.
constexpr const char* kToVersion4 =
    "ALTER TABLE runs ADD COLUMN node_key TEXT;"
    "ALTER TABLE runs ADD COLUMN lock_file TEXT;"
    "ALTER TABLE writes ADD COLUMN run INTEGER;"
    "CREATE INDEX IF NOT EXISTS runs_by_key ON runs (node_key);"
    "CREATE INDEX IF NOT EXISTS writes_by_run ON writes (run);";

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

void Rollback(sqlite3* db) {
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void BindText(sqlite3_stmt* stmt, int index, const std::string& text) {
    sqlite3_bind_text(stmt, index, text.c_str(), -1, SQLITE_TRANSIENT);
}

// The statement's one value; nothing when it gives none.
std::optional<std::int64_t> SingleValue(sqlite3* db, const char* sql) {
    const Statement query(db, sql);
    if (!query || sqlite3_step(query.get()) != SQLITE_ROW) {
        return std::nullopt;
    }
    return sqlite3_column_int64(query.get(), 0);
}

}  // namespace

std::optional<std::string> HistoryPath() {
    if (const char* set = std::getenv("VIREO_HISTORY"); set != nullptr && *set != '\0') {
        if (std::string(set) == "off") {
            return std::nullopt;
        }
        return std::string(set);
    }
    return platform::XdgDataHome() + "/vireo/history.sqlite";
}

std::unique_ptr<Store> Store::Open(const std::string& path, bool write, int busyTimeoutMs,
                                   std::string& error) {
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
    std::unique_ptr<Store> store(new Store(db, path));
    sqlite3_busy_timeout(db, busyTimeoutMs);
    if (write && sqlite3_db_readonly(db, "main") == 1) {
        error = path + " is read-only";
        return nullptr;
    }
    if (!store->Prepare(write, error)) {
        error = path + ": " + error;
        return nullptr;
    }
    if (write) {
        // Readers never hold a writer back, and a commit is not flushed to the disk: a
        // download's writes, and a thousand nodes' at once, do not wait for the disk. A
        // committed write survives the program's crash; a power loss may take the last ones.
        // The mode stays with the file; when another process holds it, that one sets it.
        std::string ignored;
        Exec(db, "PRAGMA journal_mode = WAL", ignored);
        Exec(db, "PRAGMA synchronous = NORMAL", ignored);
    }
    return store;
}

std::unique_ptr<Store> Store::OpenForWriting(const std::string& path, std::string& error,
                                             int busyTimeoutMs) {
    return Open(path, true, busyTimeoutMs, error);
}

std::unique_ptr<Store> Store::OpenForReading(const std::string& path, std::string& error) {
    return Open(path, false, kBusyTimeoutMs, error);
}

std::shared_ptr<Store> Store::Shared(const std::string& path, std::string& error,
                                     int busyTimeoutMs) {
    static std::mutex mutex;
    // By process too: a forked child must not use its parent's connection.
    static std::map<std::pair<std::string, pid_t>, std::weak_ptr<Store>> open;
    const std::lock_guard<std::mutex> lock(mutex);
    std::weak_ptr<Store>& entry = open[{path, ::getpid()}];
    std::shared_ptr<Store> store = entry.lock();
    if (!store) {
        store = OpenForWriting(path, error, busyTimeoutMs);
        entry = store;
    }
    return store;
}

Store::~Store() {
    sqlite3_close(db_);
}

bool Store::Prepare(bool write, std::string& error) {
    const std::lock_guard<std::mutex> turn(turn_);
    // A writer reads the version inside its transaction: another process may be making the
    // tables at this moment, and then this one finds them made.
    if (write && !Exec(db_, "BEGIN IMMEDIATE", error)) {
        error = "not a history database (" + error + ")";
        return false;
    }
    const auto fail = [&](std::string reason) {
        error = std::move(reason);
        if (write) {
            Rollback(db_);
        }
        return false;
    };
    const std::optional<std::int64_t> found = SingleValue(db_, "PRAGMA user_version");
    if (!found) {
        return fail("not a history database (" + Reason(db_) + ")");
    }
    if (*found > kSchemaVersion) {
        return fail("written by a newer Vireo (history version " + std::to_string(*found) +
                    "; this one knows " + std::to_string(kSchemaVersion) + "), left as it is");
    }
    if (!write) {
        // An older file reads as it is: the columns the listing reads have not changed.
        return *found > 0 || fail("no history tables");
    }
    if (*found == kSchemaVersion) {
        return Exec(db_, "COMMIT", error);
    }
    const std::string setVersion = "PRAGMA user_version = " + std::to_string(kSchemaVersion);
    if (!Exec(db_, kCreate, error) || !Exec(db_, kToVersion4, error) ||
        !Exec(db_, setVersion.c_str(), error) || !Exec(db_, "COMMIT", error)) {
        return fail(error);
    }
    return true;
}

bool Store::InsertWrite(const std::string& nodeName, std::int64_t operation, std::int64_t run,
                        const node::WriteEvent& write, std::string& error) {
    const Statement insert(db_,
                           "INSERT INTO writes (operation, time_ms, node, origin, nv, part, bytes,"
                           " succeeded, before, run) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9,"
                           " ?10)");
    if (!insert) {
        error = Reason(db_);
        return false;
    }
    sqlite3_stmt* s = insert.get();
    sqlite3_bind_int64(s, 1, operation);
    sqlite3_bind_int64(s, 2, write.timeMs);
    BindText(s, 3, nodeName);
    BindText(s, 4, write.origin);
    sqlite3_bind_int(s, 5, write.nv);
    sqlite3_bind_int(s, 6, write.part);
    BindBytes(s, 7, write.bytes);
    sqlite3_bind_int(s, 8, write.succeeded ? 1 : 0);
    if (write.before) {
        BindBytes(s, 9, *write.before);
    }
    if (run != 0) {
        sqlite3_bind_int64(s, 10, run);
    }
    if (sqlite3_step(s) != SQLITE_DONE) {
        error = Reason(db_);
        return false;
    }
    return true;
}

bool Store::AppendWrite(const std::string& nodeName, std::int64_t& operation, std::int64_t run,
                        const node::WriteEvent& write, std::string& error) {
    const std::lock_guard<std::mutex> turn(turn_);
    if (!Exec(db_, "BEGIN IMMEDIATE", error)) {
        return false;
    }
    std::int64_t number = operation;
    if (number == 0) {
        number = SingleValue(db_, "SELECT coalesce(max(operation), 0) + 1 FROM writes").value_or(0);
    }
    if (number == 0 || !InsertWrite(nodeName, number, run, write, error) ||
        !Exec(db_, "COMMIT", error)) {
        if (error.empty()) {
            error = Reason(db_);
        }
        Rollback(db_);
        return false;
    }
    operation = number;
    return true;
}

bool Store::Append(const std::string& nodeName, const std::vector<node::WriteEvent>& writes,
                   std::string& error) {
    const std::lock_guard<std::mutex> turn(turn_);
    if (!Exec(db_, "BEGIN IMMEDIATE", error)) {
        return false;
    }
    const std::int64_t operation =
        SingleValue(db_, "SELECT coalesce(max(operation), 0) + 1 FROM writes").value_or(0);
    bool ok = operation != 0;
    for (const node::WriteEvent& write : writes) {
        ok = ok && InsertWrite(nodeName, operation, 0, write, error);
    }
    if (!ok || !Exec(db_, "COMMIT", error)) {
        if (error.empty()) {
            error = Reason(db_);
        }
        Rollback(db_);
        return false;
    }
    return true;
}

bool Store::EachRow(const Filter& filter, const std::function<void(const Row&)>& visit,
                    std::string& error) const {
    const std::lock_guard<std::mutex> turn(turn_);
    const Statement query(db_,
                          "SELECT operation, time_ms, node, origin, nv, part, bytes, succeeded,"
                          " before FROM writes WHERE (?1 IS NULL OR node = ?1) AND (?2 IS NULL OR"
                          " time_ms >= ?2)"
                          " ORDER BY id");
    if (!query) {
        error = Reason(db_);
        return false;
    }
    sqlite3_stmt* s = query.get();
    if (filter.node) {
        BindText(s, 1, *filter.node);
    }
    // Without a day every row counts, one with a time before 1970 included.
    if (filter.sinceMs != 0) {
        sqlite3_bind_int64(s, 2, filter.sinceMs);
    }
    int step = SQLITE_ROW;
    Row row;
    while ((step = sqlite3_step(s)) == SQLITE_ROW) {
        row.operation = sqlite3_column_int64(s, 0);
        row.write.timeMs = sqlite3_column_int64(s, 1);
        row.node = ColumnText(s, 2);
        row.write.origin = ColumnText(s, 3);
        row.write.nv = sqlite3_column_int(s, 4);
        row.write.part = sqlite3_column_int(s, 5);
        row.write.bytes = ColumnBytes(s, 6);
        row.write.succeeded = sqlite3_column_int(s, 7) != 0;
        row.write.before.reset();
        if (sqlite3_column_type(s, 8) != SQLITE_NULL) {
            row.write.before = ColumnBytes(s, 8);
        }
        visit(row);
    }
    if (step != SQLITE_DONE) {
        error = Reason(db_);
        return false;
    }
    return true;
}

std::vector<Row> Store::Rows(const Filter& filter, std::string& error) const {
    std::vector<Row> rows;
    EachRow(
        filter, [&rows](const Row& row) { rows.push_back(row); }, error);
    return rows;
}

std::int64_t Store::BeginRun(const std::string& nodeIdentity, const std::string& nodeName,
                             const std::string& origin, const std::string& file,
                             std::int64_t timeMs, std::string& error) {
    const std::lock_guard<std::mutex> turn(turn_);
    // A lock file that a run not yet reported names is kept, even when its process is gone.
    const auto inUse = [this](const std::string& lockFile) {
        const Statement query(db_,
                              "SELECT 1 FROM runs WHERE lock_file = ?1 AND ended_ms IS NULL AND"
                              " reported = 0");
        BindText(query.get(), 1, lockFile);
        return !query || sqlite3_step(query.get()) != SQLITE_DONE;
    };
    runLock_ = ProcessRunLock(path_, inUse, error);
    if (!runLock_) {
        return 0;
    }
    const Statement insert(db_,
                           "INSERT INTO runs (node_key, node, origin, file, started_ms, lock_file)"
                           " VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    if (!insert) {
        error = Reason(db_);
        return 0;
    }
    if (!nodeIdentity.empty()) {
        BindText(insert.get(), 1, nodeIdentity);
    }
    BindText(insert.get(), 2, nodeName);
    BindText(insert.get(), 3, origin);
    BindText(insert.get(), 4, file);
    sqlite3_bind_int64(insert.get(), 5, timeMs);
    BindText(insert.get(), 6, *runLock_);
    if (sqlite3_step(insert.get()) != SQLITE_DONE) {
        error = Reason(db_);
        return 0;
    }
    return sqlite3_last_insert_rowid(db_);
}

bool Store::EndRun(std::int64_t run, std::int64_t timeMs, std::string& error) {
    const std::lock_guard<std::mutex> turn(turn_);
    const Statement update(db_, "UPDATE runs SET ended_ms = ?1 WHERE id = ?2");
    if (update) {
        sqlite3_bind_int64(update.get(), 1, timeMs);
        sqlite3_bind_int64(update.get(), 2, run);
        if (sqlite3_step(update.get()) == SQLITE_DONE) {
            return true;
        }
    }
    error = Reason(db_);
    if (runLock_) {
        NoteRunEnded(*runLock_, run, timeMs);
    }
    return false;
}

std::vector<UnfinishedRun> Store::TakeUnfinishedRuns(const std::string& nodeIdentity,
                                                     const std::string& nodeName,
                                                     std::string& error) {
    const std::lock_guard<std::mutex> turn(turn_);
    struct Candidate {
        std::int64_t id;
        std::string lockFile;
        UnfinishedRun run;
    };
    std::vector<Candidate> candidates;
    // Held while the runs are judged: a run cannot end between its row read and its lock
    // tried, so one that ends now is never taken for one cut off.
    if (!Exec(db_, "BEGIN IMMEDIATE", error)) {
        return {};
    }
    {
        const Statement query(
            db_,
            "SELECT id, lock_file, origin, file, started_ms, coalesce((SELECT part FROM writes"
            " WHERE run = runs.id AND nv = ?3 AND succeeded = 1 ORDER BY id DESC LIMIT 1),"
            " last_part) FROM runs WHERE (node_key = ?1 OR (node_key IS NULL AND node = ?2))"
            " AND ended_ms IS NULL AND reported = 0 ORDER BY id");
        if (!query) {
            error = Reason(db_);
            Rollback(db_);
            return {};
        }
        if (!nodeIdentity.empty()) {
            BindText(query.get(), 1, nodeIdentity);
        }
        BindText(query.get(), 2, nodeName);
        sqlite3_bind_int(query.get(), 3, nv::kPluginCnf);
        while (sqlite3_step(query.get()) == SQLITE_ROW) {
            sqlite3_stmt* s = query.get();
            candidates.push_back({sqlite3_column_int64(s, 0),
                                  ColumnText(s, 1),
                                  {ColumnText(s, 2), ColumnText(s, 3), sqlite3_column_int64(s, 4),
                                   sqlite3_column_int(s, 5)}});
        }
    }
    std::vector<UnfinishedRun> runs;
    const Statement ended(db_, "UPDATE runs SET ended_ms = ?1 WHERE id = ?2");
    const Statement reported(db_, "UPDATE runs SET reported = 1 WHERE id = ?2");
    bool ok = ended && reported;
    for (const Candidate& candidate : candidates) {
        const RunState state = JudgeRun(candidate.lockFile, candidate.id);
        if (!ok || state.running) {
            continue;
        }
        sqlite3_stmt* s = state.endedMs ? ended.get() : reported.get();
        sqlite3_reset(s);
        sqlite3_bind_int64(s, 1, state.endedMs.value_or(0));
        sqlite3_bind_int64(s, 2, candidate.id);
        ok = sqlite3_step(s) == SQLITE_DONE;
        if (!state.endedMs) {
            runs.push_back(candidate.run);
        }
    }
    if (!ok || !Exec(db_, "COMMIT", error)) {
        if (error.empty()) {
            error = Reason(db_);
        }
        Rollback(db_);
        return {};
    }
    return runs;
}

}  // namespace history
