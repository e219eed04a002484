// The write history on the simulated node, without Qt: what the download and the factory
// defaults leave in the database, that recording adds no host call, that a database the
// history cannot use costs no write, and how a write reads in the listing.

#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "framework/ScriptedDesktop.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryText.h"
#include "host/ClientSite.h"
#include "node/NodeFields.h"
#include "settings/DownloadOperation.h"
#include "settings/ExportOperation.h"
#include "settings/FactoryDefaults.h"
#include "settings/FactoryDefaultsOperation.h"
#include "sim/SimNode.h"

namespace {

namespace fs = std::filesystem;

class HistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               (std::string("vireo-history-") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path = (dir_ / "history.sqlite").string();
        node.SetName("Boiler1");
        for (int part = 1; part <= nv::kPartCount; ++part) {
            node.SetPart(part, host::Bytes(nv::kPartSize, 0xAA));
        }
    }
    void TearDown() override { fs::remove_all(dir_); }

public:
    std::string path;

protected:
    // Runs the factory defaults with the history recording to path (or off).
    void Defaults(bool record = true) {
        history::HistoryRecorder recorder(
            path, [this](const std::string& text) { told.push_back(text); });
        recorder.SetNodeName(node.Name());
        const history::InstalledRecorder installed(record ? &recorder : nullptr);
        settings::FactoryDefaultsOperation(link.Link(), desktop).Run("Quorka");
    }

    std::vector<history::Row> Rows() const {
        std::string error;
        const auto store = history::Store::OpenForReading(path, error);
        EXPECT_TRUE(store) << error;
        return store ? store->Rows({}, error) : std::vector<history::Row>{};
    }

    fs::path dir_;
    host::SimNode node;
    host::SimLink link{node};
    platform::ScriptedDesktop desktop;
    std::vector<std::string> told;
};

TEST_F(HistoryTest, FactoryDefaultsAreOneOperationWithEveryWriteAndItsPart) {
    node.FailPartWrite(3);
    Defaults();
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 7u + nv::kPartCount);  // NV 37 to 43, then the parts
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const node::WriteEvent& w = rows[i].write;
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i].operation, 1);
        EXPECT_EQ(rows[i].node, "Boiler1");
        EXPECT_EQ(w.origin, "Factory defaults");
        EXPECT_FALSE(w.before);  // the defaults read nothing before writing
        if (i < 7) {
            EXPECT_EQ(w.nv, nv::kTemp1PlugIn + static_cast<int>(i));
            EXPECT_EQ(w.bytes, settings::FactoryVariableImage(w.nv));
        } else {
            const int part = static_cast<int>(i) - 6;
            EXPECT_EQ(w.nv, nv::kPluginCnf);
            EXPECT_EQ(w.part, part);
            const auto image = settings::FactoryPartImage(part);
            EXPECT_EQ(w.bytes, node::Bytes(image.begin(), image.end()));
            EXPECT_EQ(w.succeeded, part != 3);
        }
    }
    EXPECT_TRUE(told.empty());
    Defaults();
    EXPECT_EQ(Rows().back().operation, 2);
}

TEST_F(HistoryTest, DownloadKeepsEveryBlockItWrote) {
    desktop.QueueFile((dir_ / "boiler.txt").string());
    settings::ExportOperation(link.Link(), desktop).Run("");
    history::HistoryRecorder recorder(path, nullptr);
    const history::InstalledRecorder installed(&recorder);
    desktop.QueueFile((dir_ / "boiler.txt").string());
    desktop.QueueAnswer(true);
    const auto result = settings::DownloadOperation(link.Link(), desktop).Run("Quorka", "");
    ASSERT_TRUE(result.Completed());
    const auto rows = Rows();
    ASSERT_EQ(static_cast<int>(rows.size()), result.writtenVariables);
    int parts = 0;
    for (const auto& row : rows) {
        EXPECT_EQ(row.write.origin, "Download from file");
        EXPECT_TRUE(row.write.succeeded);
        if (row.write.nv == nv::kPluginCnf) {
            EXPECT_EQ(row.write.part, ++parts);
            EXPECT_EQ(row.write.bytes, node::Bytes(nv::kPartSize, 0xAA));
        }
    }
    EXPECT_EQ(parts, nv::kPartCount);
}

TEST_F(HistoryTest, RecordingAddsNoHostCall) {
    node.StartRecording();
    Defaults(false);
    const host::Journal without = node.Recorded();
    node.StartRecording();
    Defaults(true);
    const host::Journal with = node.Recorded();
    EXPECT_EQ(with.reads, without.reads);
    EXPECT_EQ(with.selections, without.selections);
    ASSERT_EQ(with.writes.size(), without.writes.size());
    for (std::size_t i = 0; i < with.writes.size(); ++i) {
        EXPECT_EQ(with.writes[i].index, without.writes[i].index);
        EXPECT_EQ(with.writes[i].bytes, without.writes[i].bytes);
    }
    EXPECT_EQ(Rows().size(), 19u);
}

// A file the history cannot use: made by the case, with the path the recorder is given.
struct BrokenCase {
    const char* name;
    std::string (*make)(const fs::path& dir);
    const char* reason;  // part of the one message
};

std::string Write(const fs::path& file, const std::string& content) {
    std::ofstream(file, std::ios::binary) << content;
    return file.string();
}

std::string Slurp(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

const BrokenCase kBroken[] = {
    {"NotADatabase",
     [](const fs::path& dir) {
         return Write(dir / "history.sqlite", std::string(4096, 'x') + "a settings file?");
     },
     "not a history database"},
    {"NewerSchema",
     [](const fs::path& dir) {
         const std::string file = (dir / "history.sqlite").string();
         sqlite3* db = nullptr;
         sqlite3_open(file.c_str(), &db);
         sqlite3_exec(db, "CREATE TABLE writes (future BLOB); PRAGMA user_version = 7;", nullptr,
                      nullptr, nullptr);
         sqlite3_close(db);
         return file;
     },
     "newer Vireo (history version 7"},
    {"FolderIsAFile",
     [](const fs::path& dir) {
         return (fs::path(Write(dir / "plain", "a file")) / "history.sqlite").string();
     },
     "cannot open"},
};

void PrintTo(const BrokenCase& c, std::ostream* os) {
    *os << c.name;
}

class BrokenHistoryTest : public HistoryTest, public ::testing::WithParamInterface<BrokenCase> {};

TEST_P(BrokenHistoryTest, WritesGoOnTheUserIsToldOnceAndTheFileIsLeftAlone) {
    path = GetParam().make(dir_);
    const std::string content = Slurp(path);
    history::HistoryRecorder recorder(path,
                                      [this](const std::string& text) { told.push_back(text); });
    const history::InstalledRecorder installed(&recorder);
    for (int run = 0; run < 2; ++run) {
        node.SetPart(5, host::Bytes(nv::kPartSize, 0xAA));
        const auto result = settings::FactoryDefaultsOperation(link.Link(), desktop).Run("Quorka");
        EXPECT_TRUE(result.Completed());
        const auto image = settings::FactoryPartImage(5);
        EXPECT_EQ(node.Part(5), image);
    }
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find(GetParam().reason), std::string::npos) << told[0];
    EXPECT_NE(told[0].find("history is off"), std::string::npos);
    EXPECT_TRUE(recorder.IsOff());
    EXPECT_EQ(Slurp(path), content);
}

INSTANTIATE_TEST_SUITE_P(Files, BrokenHistoryTest, ::testing::ValuesIn(kBroken),
                         [](const auto& info) { return std::string(info.param.name); });

// How one write reads in the listing.
struct DescribeCase {
    const char* name;
    node::WriteEvent write;
    std::vector<std::string> lines;
};

node::Bytes ModeWords(int mp1) {
    node::Bytes bytes(nv::kPartSize, 0);
    bytes[nv::kModePumpMp1 + 1] = static_cast<std::uint8_t>(mp1);
    for (const int at : {nv::kModeValveMv1, nv::kModeValveMv3, nv::kModePumpMp2, nv::kModeValveMv2,
                         nv::kModeValveMv4, nv::kModeHotWaterPump, nv::kModeHeatingElement}) {
        bytes[at + 1] = 0xFF;
    }
    return bytes;
}

const DescribeCase kDescribe[] = {
    {"ChangedFieldOnly",
     {0, "Pump", nv::kModeWords, 0, ModeWords(nv::kModeAutomatic), true,
      ModeWords(nv::kModeManual)},
     {"mode of pump Mp1: Manual -> Automatic"}},
    {"FailedWrite",
     {0, "Pump", nv::kModeWords, 0, ModeWords(nv::kModeOff), false, ModeWords(nv::kModeManual)},
     {"mode of pump Mp1: Manual -> Off  (write failed)"}},
    {"UnknownBeforeShowsEveryField",
     {0, "Download from file", nv::kTimePump3, 0, {0x0B, 0xB8}, true, std::nullopt},
     {"running time of pump Mp3: 300 s"}},
    {"TwinsByCircuitAndFlags",
     {0, "Antifrost", nv::kPluginCnf, 2, node::Bytes(nv::kPartSize, 0), true,
      [] {
          node::Bytes b(nv::kPartSize, 0);
          b[17] = 0x01;  // the return sensor offset of circuit 2 was 2.56 degrees
          return b;
      }()},
     {"return sensor offset, circuit 2: 2.6 °C -> 0.0 °C"}},
    {"NoFieldsRawBytes",
     {0, "Set Time", nv::kClockWrite, 0, {0x07, 0xEA, 12, 7, 10, 0, 0}, true, std::nullopt},
     {"NV 0: 07 EA 0C 07 0A 00 00"}},
};

void PrintTo(const DescribeCase& c, std::ostream* os) {
    *os << c.name;
}

class DescribeTest : public ::testing::TestWithParam<DescribeCase> {};

TEST_P(DescribeTest, OneLinePerChangedField) {
    EXPECT_EQ(history::DescribeWrite(GetParam().write), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Writes, DescribeTest, ::testing::ValuesIn(kDescribe),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HistoryTest, ListingFiltersByNodeAndDay) {
    std::string error;
    auto store = history::Store::OpenForWriting(path, error);
    ASSERT_TRUE(store) << error;
    const std::int64_t day = *history::LocalDayStart("2026-12-07");
    node::WriteEvent pump{
        day + 3600 * 1000,         "Pump", nv::kModeWords, 0, ModeWords(nv::kModeAutomatic), true,
        ModeWords(nv::kModeManual)};
    ASSERT_TRUE(store->Append("Boiler1", {pump}, error)) << error;
    pump.timeMs = day - 1000;
    ASSERT_TRUE(store->Append("Boiler2", {pump}, error)) << error;
    EXPECT_EQ(store->Rows({"Boiler1", 0}, error).size(), 1u);
    EXPECT_EQ(store->Rows({std::nullopt, day}, error).size(), 1u);
    EXPECT_EQ(history::HistoryLines(store->Rows({"Boiler2", 0}, error)),
              std::vector<std::string>{
                  "2026-12-06 23:59:59  Boiler2  Pump  mode of pump Mp1: Manual -> Automatic"});
    EXPECT_FALSE(history::LocalDayStart("2026-02-30"));
    EXPECT_FALSE(history::LocalDayStart("7.12.2026"));
}

// Each write is in the database as soon as the host answered it, not when the operation ends:
// a program killed in the middle keeps what reached the node. The recorders of one process
// share one connection.
TEST_F(HistoryTest, WritesAreStoredAsTheyHappenThroughOneConnection) {
    history::HistoryRecorder first(path, nullptr);
    history::HistoryRecorder second(path, nullptr);
    first.SetNodeName("Boiler1");
    first.BeginOperation("Pump");
    const std::uint8_t mode[2] = {0, 1};
    first.SawWrite(nv::kModeWords, mode, 2, true);
    first.SawWrite(nv::kModeWords, mode, 2, false);
    second.BeginOperation("Pump");
    second.SawWrite(nv::kModeWords, mode, 2, true);
    int connections = 0;
    for (const auto& fd : fs::directory_iterator("/proc/self/fd")) {
        std::error_code gone;
        connections += fs::read_symlink(fd.path(), gone) == fs::path(path) ? 1 : 0;
    }
    EXPECT_EQ(connections, 1);
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].operation, rows[0].operation);
    EXPECT_NE(rows[2].operation, rows[0].operation);
}

// Ten processes that make the history at the same moment all keep their write.
TEST_F(HistoryTest, FirstUseFromManyProcessesLosesNothing) {
    for (int round = 0; round < 3; ++round) {
        path = (dir_ / ("first-use-" + std::to_string(round) + ".sqlite")).string();
        int start[2];
        ASSERT_EQ(::pipe(start), 0);
        std::vector<pid_t> children;
        for (int i = 0; i < 10; ++i) {
            const pid_t child = ::fork();
            if (child == 0) {
                ::close(start[1]);
                char go = 0;
                (void)::read(start[0], &go, 1);  // all start when the parent closes the pipe
                std::string error;
                const auto store = history::Store::OpenForWriting(path, error);
                const bool ok = store && store->Append("Boiler1", {{}}, error);
                ::_exit(ok ? 0 : 1);
            }
            children.push_back(child);
        }
        ::close(start[0]);
        ::close(start[1]);
        for (const pid_t child : children) {
            int status = 0;
            ::waitpid(child, &status, 0);
            EXPECT_EQ(WEXITSTATUS(status), 0);
        }
        EXPECT_EQ(Rows().size(), 10u);
    }
}

// A file of version 3 opens for writing and keeps its writes; its run that never ended is
// known by the node's name, as then.
TEST_F(HistoryTest, AVersion3HistoryKeepsItsRowsAndRuns) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE writes (id INTEGER PRIMARY KEY, operation INTEGER NOT"
                           " NULL, time_ms INTEGER NOT NULL, node TEXT NOT NULL, origin TEXT NOT"
                           " NULL, nv INTEGER NOT NULL, part INTEGER NOT NULL, bytes BLOB NOT"
                           " NULL, succeeded INTEGER NOT NULL, before BLOB);"
                           "CREATE TABLE runs (id INTEGER PRIMARY KEY, node TEXT NOT NULL, origin"
                           " TEXT NOT NULL, file TEXT NOT NULL, started_ms INTEGER NOT NULL,"
                           " last_part INTEGER NOT NULL DEFAULT 0, ended_ms INTEGER, reported"
                           " INTEGER NOT NULL DEFAULT 0);"
                           "INSERT INTO writes VALUES (1, 1, 0, 'Boiler1', 'Pump', 25, 0, x'0001',"
                           " 1, NULL);"
                           "INSERT INTO runs (node, origin, file, started_ms, last_part) VALUES"
                           " ('Boiler1', 'Factory defaults', '', 0, 4);"
                           "PRAGMA user_version = 3;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    std::string error;
    auto store = history::Store::OpenForWriting(path, error);
    ASSERT_TRUE(store) << error;
    ASSERT_TRUE(store->Append("Boiler1", {{}}, error)) << error;
    const auto runs = store->TakeUnfinishedRuns("/nodes/boiler1.json", "Boiler1", error);
    ASSERT_EQ(runs.size(), 1u) << error;
    EXPECT_EQ(runs[0].lastPart, 4);
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].write.bytes, node::Bytes({0, 1}));
    EXPECT_EQ(rows[1].operation, 2);
}

// Downloads into a node named Boiler1 (state file a.json) in processes of their own, and how
// the next look at that node reports them.
class RunTest : public HistoryTest {
public:
    struct Child {
        pid_t pid = 0;
        int hold = -1;  // the child lives while this is open
    };

    // A child that starts a download into the node, gets parts 1 to parts taken by the node
    // and the next one refused, then ends the run (end) or not, and lives on until Kill. hold:
    // a connection that holds the history while the run ends.
    Child Start(const std::string& node, int parts, bool end, sqlite3* hold = nullptr) const {
        int ready[2];
        int stay[2];
        EXPECT_EQ(::pipe(ready), 0);
        EXPECT_EQ(::pipe(stay), 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(ready[0]);
            ::close(stay[1]);
            // Another program holds the history longer than a writer waits for it.
            std::string error;
            const auto store =
                history::Store::OpenForWriting(path, error, hold ? 0 : history::kBusyTimeoutMs);
            const auto run =
                store->BeginRun(node, "Boiler1", "Download from file", "boiler.txt", 0, error);
            std::int64_t operation = 0;
            for (int part = 1; part <= parts + 1; ++part) {
                const node::WriteEvent write{0,    "Download", nv::kPluginCnf,
                                             part, {},         part <= parts};
                store->AppendWrite("Boiler1", operation, run, write, error);
            }
            char byte = 1;
            if (hold != nullptr) {
                (void)::write(ready[1], &byte, 1);  // the parent takes the history now
                (void)::read(stay[0], &byte, 1);
            }
            if (end) {
                store->EndRun(run, 1, error);
            }
            (void)::write(ready[1], &byte, 1);
            (void)::read(stay[0], &byte, 1);
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(stay[0]);
        char byte = 0;
        if (hold != nullptr) {
            EXPECT_EQ(::read(ready[0], &byte, 1), 1);
            EXPECT_EQ(sqlite3_exec(hold, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
            (void)::write(stay[1], &byte, 1);
        }
        EXPECT_EQ(::read(ready[0], &byte, 1), 1);
        ::close(ready[0]);
        if (hold != nullptr) {
            sqlite3_exec(hold, "COMMIT", nullptr, nullptr, nullptr);
        }
        return {pid, stay[1]};
    }

    // A child whose recorder starts a download into the node, records part 1, finds the
    // history held by another program (hold, longer than its writes wait) for part 2, and ends
    // the run; the child is gone when this returns.
    void RecordWhileHeld(sqlite3* hold) const {
        struct Recorder : history::HistoryRecorder {
            using HistoryRecorder::HistoryRecorder;
            using HistoryRecorder::Record;
        };
        int ready[2];
        int go[2];
        EXPECT_EQ(::pipe(ready), 0);
        EXPECT_EQ(::pipe(go), 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            Recorder recorder(
                path, [](const std::string&) {}, nullptr, 0);
            recorder.SetNode("/nodes/a.json", "Boiler1");
            recorder.RunStarted("Download from file", "boiler.txt");
            char byte = 1;
            for (int part = 1; part <= 2; ++part) {
                if (part == 2) {
                    (void)::write(ready[1], &byte, 1);  // the parent takes the history now
                    (void)::read(go[0], &byte, 1);
                }
                recorder.Record({0, "Download", nv::kPluginCnf, part, {}, true});
            }
            recorder.RunEnded();
            ::_exit(recorder.IsOff() ? 0 : 1);
        }
        char byte = 0;
        EXPECT_EQ(::read(ready[0], &byte, 1), 1);
        EXPECT_EQ(sqlite3_exec(hold, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        (void)::write(go[1], &byte, 1);
        int status = -1;
        EXPECT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_EQ(status, 0) << "the history did not go off";
        sqlite3_exec(hold, "COMMIT", nullptr, nullptr, nullptr);
        for (const int fd : {ready[0], ready[1], go[0], go[1]}) {
            ::close(fd);
        }
    }

    static void Kill(Child& child) {
        ::kill(child.pid, SIGKILL);
        ::waitpid(child.pid, nullptr, 0);
        ::close(child.hold);
    }

    // The last part of each run the next look at the node reports.
    std::vector<int> Look(const std::string& node = "/nodes/a.json") {
        std::string error;
        const auto store = history::Store::OpenForWriting(path, error);
        std::vector<int> parts;
        for (const auto& run : store->TakeUnfinishedRuns(node, "Boiler1", error)) {
            parts.push_back(run.lastPart);
        }
        EXPECT_EQ(error, "");
        return parts;
    }
};

struct RunCase {
    const char* name;
    std::vector<std::vector<int>> (*looks)(RunTest&);
    std::vector<std::vector<int>> expected;
};

// The test's own process makes the history before a child uses it.
const RunCase kRuns[] = {
    {"KilledRunOnceWithTheLastPartTaken",
     [](RunTest& t) {
         auto child = t.Start("/nodes/a.json", 10, false);
         RunTest::Kill(child);
         return std::vector<std::vector<int>>{t.Look(), t.Look()};
     },
     {{10}, {}}},
    {"RunningRunNotUntilItsProcessIsGone",
     [](RunTest& t) {
         auto child = t.Start("/nodes/a.json", 3, false);
         auto looks = std::vector<std::vector<int>>{t.Look()};
         RunTest::Kill(child);
         looks.push_back(t.Look());
         return looks;
     },
     {{}, {3}}},
    {"OtherNodeOfTheSameName",
     [](RunTest& t) {
         auto child = t.Start("/other/a.json", 6, false);
         RunTest::Kill(child);
         return std::vector<std::vector<int>>{t.Look(), t.Look("/other/a.json")};
     },
     {{}, {6}}},
    {"EndedWhileAnotherProgramHeldTheHistory",
     [](RunTest& t) {
         sqlite3* db = nullptr;
         sqlite3_open(t.path.c_str(), &db);
         auto child = t.Start("/nodes/a.json", 12, true, db);
         RunTest::Kill(child);
         sqlite3_close(db);
         return std::vector<std::vector<int>>{t.Look()};
     },
     {{}}},
    {"EndedAfterItsHistoryWentOff",
     [](RunTest& t) {
         sqlite3* db = nullptr;
         sqlite3_open(t.path.c_str(), &db);
         t.RecordWhileHeld(db);
         sqlite3_close(db);
         return std::vector<std::vector<int>>{t.Look()};
     },
     {{}}},
};

void PrintTo(const RunCase& c, std::ostream* os) {
    *os << c.name;
}

class UnfinishedRunTest : public RunTest, public ::testing::WithParamInterface<RunCase> {};

TEST_P(UnfinishedRunTest, ReportedWhenItsProcessIsGoneOnItsOwnNode) {
    std::string error;
    ASSERT_TRUE(history::Store::OpenForWriting(path, error)) << error;
    EXPECT_EQ(GetParam().looks(*this), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Runs, UnfinishedRunTest, ::testing::ValuesIn(kRuns),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
