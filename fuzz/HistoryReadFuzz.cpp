// The write history read back on any stored row: the input gives each column of one row of the
// writes table (the bytes and before columns as a blob, text, a number or NULL, as a file
// edited by hand may hold them), and the listing reads it back through the history's own
// reader and decodes it. Each change is one printable line that starts with the write's time.

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "history/HistoryStore.h"
#include "history/HistoryText.h"

namespace {

// Takes the input's bytes in order; zeros once it runs out.
class ByteSource {
public:
    ByteSource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::string Take(std::size_t count) {
        std::string bytes(count, '\0');
        for (std::size_t i = 0; i < count && pos_ < size_; ++i) {
            bytes[i] = static_cast<char>(data_[pos_++]);
        }
        return bytes;
    }
    template <typename T>
    T Number() {
        T value{};
        const std::string bytes = Take(sizeof value);
        std::memcpy(&value, bytes.data(), sizeof value);
        return value;
    }
    std::string Counted() { return Take(static_cast<std::uint8_t>(Take(1)[0])); }
    std::string Rest() { return Take(size_ - pos_); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// A history of one table made once; each input replaces its one row.
struct Database {
    Database() : path(fuzz::ScratchPath("history.sqlite")) {
        std::string error;
        fuzz::Require(history::Store::OpenForWriting(path, error) != nullptr, "history made");
        sqlite3_open(path.c_str(), &db);
        sqlite3_exec(db, "PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);
        reader = history::Store::OpenForReading(path, error);
        fuzz::Require(reader != nullptr, "history reads");
    }
    std::string path;
    sqlite3* db = nullptr;
    std::unique_ptr<history::Store> reader;
};

// Binds the value as the kind says: 0 blob, 1 text, 2 a number, 3 NULL.
void Bind(sqlite3_stmt* insert, int index, int kind, const std::string& value) {
    switch (kind & 3) {
        case 0:
            sqlite3_bind_blob(insert, index, value.data(), static_cast<int>(value.size()),
                              SQLITE_TRANSIENT);
            break;
        case 1:
            sqlite3_bind_text(insert, index, value.data(), static_cast<int>(value.size()),
                              SQLITE_TRANSIENT);
            break;
        case 2:
            sqlite3_bind_int64(insert, index, static_cast<std::int64_t>(value.size()) - 3);
            break;
        default:
            sqlite3_bind_null(insert, index);
    }
}

bool Printable(const std::string& line) {
    for (const char c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Database database;
    ByteSource source(data, size);
    const auto kinds = static_cast<std::uint8_t>(source.Take(1)[0]);
    const auto timeMs = source.Number<std::int64_t>();
    const auto nv = source.Number<std::int32_t>();
    const auto part = source.Number<std::int32_t>();
    const auto succeeded = static_cast<std::uint8_t>(source.Take(1)[0]);
    const std::string node = source.Counted();
    const std::string origin = source.Counted();
    const std::string bytes = source.Counted();
    const std::string before = source.Rest();

    sqlite3_exec(database.db, "DELETE FROM writes", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(database.db,
                       "INSERT INTO writes (operation, time_ms, node, origin, nv, part, bytes,"
                       " succeeded, before) VALUES (1, ?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)",
                       -1, &insert, nullptr);
    sqlite3_bind_int64(insert, 1, timeMs);
    sqlite3_bind_text(insert, 2, node.data(), static_cast<int>(node.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 3, origin.data(), static_cast<int>(origin.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(insert, 4, nv);
    sqlite3_bind_int(insert, 5, part);
    Bind(insert, 6, kinds, bytes);
    sqlite3_bind_int(insert, 7, succeeded);
    Bind(insert, 8, kinds >> 2, before);
    const bool stored = sqlite3_step(insert) == SQLITE_DONE;
    sqlite3_finalize(insert);
    if (!stored) {
        return 0;  // a column the table refuses (NULL bytes)
    }

    std::string error;
    int rows = 0;
    database.reader->EachRow(
        {},
        [&](const history::Row& row) {
            ++rows;
            const std::string time = history::LocalTimeText(row.write.timeMs);
            const std::vector<std::string> lines = history::RowLines(row);
            fuzz::Require(!lines.empty(), "a stored write gives at least one line");
            for (const std::string& line : lines) {
                fuzz::Require(line.rfind(time + "  ", 0) == 0, "a line starts with its time");
                fuzz::Require(Printable(line), "a line holds no control character");
            }
        },
        error);
    fuzz::Require(error.empty() && rows == 1, "the stored row reads back");
    return 0;
}
