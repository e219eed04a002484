// The simulated node and its state file.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <tuple>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "host/ClientSite.h"
#include "settings/FactoryDefaults.h"
#include "sim/NodeStateFile.h"
#include "sim/OperationLock.h"
#include "sim/SimNode.h"

namespace {

using host::Bytes;
using host::SimNode;

Bytes Read(SimNode& node, int index, int length, HRESULT* result = nullptr) {
    Bytes buffer(static_cast<std::size_t>(length) + 8, 0xEE);
    const HRESULT r = node.ReadNv(index, buffer.data(), length);
    if (result != nullptr) {
        *result = r;
    }
    return buffer;
}

void Write(SimNode& node, int index, Bytes bytes) {
    ASSERT_EQ(node.WriteNv(index, bytes.data(), static_cast<int>(bytes.size())), S_OK);
}

TEST(SimNodeTest, StartsFromTheFactoryImageWithTheSelectorAtZero) {
    SimNode node;
    EXPECT_EQ(node.Name(), "Node1");
    EXPECT_EQ(node.Selector(), 0);
    EXPECT_EQ(node.Raw(37), settings::FactoryVariableImage(37));
    EXPECT_EQ(node.Raw(41), (Bytes{0x0B, 0xB8}));
    EXPECT_EQ(node.Part(1), settings::FactoryPartImage(1));
    EXPECT_EQ(node.Raw(25), Bytes(31, 0));
    EXPECT_EQ(node.Raw(3), (Bytes{0x07, 0xEA, 12, 6, 9, 5, 7}));
}

TEST(SimNodeTest, ReadsCopyAtMostTheVariablesSize) {
    SimNode node;
    Write(node, 39, {0x12, 0x34});
    const Bytes got = Read(node, 39, 32);
    EXPECT_EQ(got[0], 0x12);
    EXPECT_EQ(got[1], 0x34);
    EXPECT_EQ(got[2], 0xEE);  // nothing past the 2 bytes of NV 39
    const Bytes one = Read(node, 39, 1);
    EXPECT_EQ(one[1], 0xEE);  // nothing past the requested length
}

TEST(SimNodeTest, WritesStoreAtMostTheSizeAndUnknownIndexesFail) {
    SimNode node;
    Bytes big(40, 0x55);
    ASSERT_EQ(node.WriteNv(42, big.data(), 40), S_OK);
    EXPECT_EQ(node.Raw(42), Bytes(4, 0x55));
    HRESULT result = S_OK;
    Read(node, 7, 32, &result);
    EXPECT_NE(result, S_OK);
    EXPECT_NE(node.WriteNv(46, big.data(), 2), S_OK);
    EXPECT_NE(node.WriteNv(-1, big.data(), 2), S_OK);
    EXPECT_NE(node.ReadNv(39, nullptr, 2), S_OK);
    EXPECT_NE(node.ReadNv(39, big.data(), 0), S_OK);
}

TEST(SimNodeTest, Nv45ShowsThePartThatNv44Selects) {
    SimNode node;
    HRESULT result = S_OK;
    Read(node, 45, 31, &result);
    EXPECT_NE(result, S_OK);  // part 0: no part selected
    Write(node, 44, {0x00, 0x08});
    EXPECT_EQ(Read(node, 45, 31)[1], settings::FactoryPartImage(8)[1]);
    Bytes image(31, 0x77);
    Write(node, 45, image);
    EXPECT_EQ(node.Part(8)[30], 0x77);
    EXPECT_EQ(node.Part(7), settings::FactoryPartImage(7));
    Write(node, 44, {0x00, 0x0D});
    Read(node, 45, 31, &result);
    EXPECT_NE(result, S_OK);  // part 13 does not exist
    EXPECT_NE(node.WriteNv(45, image.data(), 31), S_OK);
}

TEST(SimNodeTest, WritingNv0SetsTheClockThatNv3Reads) {
    SimNode node;
    Write(node, 0, {0x07, 0xE9, 1, 2, 3, 4, 5});
    const Bytes clock = Read(node, 3, 32);
    EXPECT_EQ(Bytes(clock.begin(), clock.begin() + 7), (Bytes{0x07, 0xE9, 1, 2, 3, 4, 5}));
}

TEST(SimNodeTest, ChosenCallsFailUntilHealedAndAFailedWriteStoresNothing) {
    SimNode node;
    node.FailWrite(39);
    Bytes code{0x00, 0x04};
    EXPECT_NE(node.WriteNv(39, code.data(), 2), S_OK);
    EXPECT_EQ(node.Raw(39), (Bytes{0x00, 0xFF}));
    node.FailRead(39);
    node.FailName();
    HRESULT result = S_OK;
    Read(node, 39, 31, &result);
    EXPECT_NE(result, S_OK);
    std::uint8_t name[32];
    EXPECT_NE(node.GetNodeName(name, 32), S_OK);
    node.Heal();
    EXPECT_EQ(node.WriteNv(39, code.data(), 2), S_OK);
    EXPECT_EQ(node.GetNodeName(name, 32), S_OK);
}

TEST(SimNodeTest, JournalKeepsEveryCallOnceStartedAndPartFailuresFollowTheSelector) {
    SimNode node;
    Write(node, 39, {0x00, 0x01});  // before recording: not kept
    node.StartRecording();
    node.FailPartRead(2);
    node.FailPartWrite(2);
    const Bytes image(31, 0x66);
    HRESULT result = S_OK;
    Write(node, 44, {0x00, 0x02});
    EXPECT_NE(node.WriteNv(45, image.data(), 31), S_OK);
    Read(node, 45, 31, &result);
    EXPECT_NE(result, S_OK);
    Write(node, 44, {0x00, 0x03});
    Write(node, 45, image);
    Read(node, 45, 31, &result);
    EXPECT_EQ(result, S_OK);
    node.FailWrite(44);
    const Bytes five{0x00, 0x05};
    EXPECT_NE(node.WriteNv(44, five.data(), 2), S_OK);

    EXPECT_EQ(node.Part(2), settings::FactoryPartImage(2));
    EXPECT_EQ(node.Part(3)[30], 0x66);
    const host::Journal& journal = node.Recorded();
    EXPECT_EQ(journal.reads, (std::vector<int>{45, 45}));
    const std::vector<std::tuple<int, int, Bytes>> writes = {{44, 0, {0x00, 0x02}},
                                                             {45, 2, image},
                                                             {44, 2, {0x00, 0x03}},
                                                             {45, 3, image},
                                                             {44, 3, five}};
    ASSERT_EQ(journal.writes.size(), writes.size());
    for (std::size_t i = 0; i < writes.size(); ++i) {
        EXPECT_EQ(journal.writes[i].index, std::get<0>(writes[i])) << i;
        EXPECT_EQ(journal.writes[i].selectedPart, std::get<1>(writes[i])) << i;
        EXPECT_EQ(journal.writes[i].bytes, std::get<2>(writes[i])) << i;
    }
    EXPECT_EQ(journal.selections, (std::vector<int>{2, 3}));  // the failed selection of 5 is not
    EXPECT_EQ(journal.ConfigurationWrites().size(), 2u);
    EXPECT_EQ(journal.MaxSelection(), 3);
    node.Heal();
    node.SetSelector(2);
    Write(node, 45, image);
    node.StartRecording();
    EXPECT_TRUE(node.Recorded().writes.empty());
    EXPECT_EQ(node.Recorded().MaxSelection(), 0);
}

TEST(SimNodeTest, NodeNameIsZeroTerminatedOnlyWhenShorterThanTheBuffer) {
    SimNode node;
    node.SetName("Boiler1");
    std::uint8_t name[8];
    std::fill(std::begin(name), std::end(name), 0xEE);
    ASSERT_EQ(node.GetNodeName(name, 8), S_OK);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(name)), "Boiler1");
    std::fill(std::begin(name), std::end(name), 0xEE);
    ASSERT_EQ(node.GetNodeName(name, 7), S_OK);
    EXPECT_EQ(name[6], '1');
    EXPECT_EQ(name[7], 0xEE);
}

TEST(ClientSiteTest, OffersOnlyTheChosenInterfacesAndLogsEveryCall) {
    SimNode node;
    auto* site = new host::ClientSite(node, host::Offer::Reader);
    std::vector<std::string> log;
    site->transcript = [&](const std::string& line) { log.push_back(line); };
    void* p = nullptr;
    EXPECT_EQ(site->QueryInterface(IID_NodeWriter, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    ASSERT_EQ(site->QueryInterface(IID_NodeReader, &p), S_OK);
    auto* reader = static_cast<NodeReader*>(p);
    std::uint8_t buffer[32] = {};
    reader->ReadNv(44, buffer, 31);
    reader->ReadNv(45, buffer, 32);
    reader->Release();
    site->SetOffer(host::Offer::Writer);
    ASSERT_EQ(site->QueryInterface(IID_NodeWriter, &p), S_OK);
    const std::uint8_t part[2] = {0x00, 0x08};
    static_cast<NodeWriter*>(p)->WriteNv(44, part, 2);
    static_cast<NodeWriter*>(p)->Release();
    EXPECT_EQ(log, (std::vector<std::string>{"ReadNv 44 31 -> 0", "ReadNv 45 32 -> 1",
                                             "WriteNv 44 00 08 -> 0"}));
    EXPECT_EQ(site->Release(), 0u);
}

TEST(ClientSiteTest, HostMethodsSitAtTheirVtablePositions) {
    // Calls through the raw vtable slots reach ReadNv at 7, WriteNv at 8, GetNodeName at 9.
    SimNode node;
    node.SetName("Slot");
    auto* site = new host::ClientSite(node, host::Offer::Both);
    void* r = nullptr;
    void* w = nullptr;
    site->QueryInterface(IID_NodeReader, &r);
    site->QueryInterface(IID_NodeWriter, &w);
    using ReadFn = HRESULT (*)(void*, std::int32_t, std::uint8_t*, std::int32_t);
    using NameFn = HRESULT (*)(void*, std::uint8_t*, std::int32_t);
    using WriteFn = HRESULT (*)(void*, std::int32_t, const std::uint8_t*, std::int32_t);
    void** readerTable = *static_cast<void***>(r);
    void** writerTable = *static_cast<void***>(w);
    const std::uint8_t code[2] = {0x00, 0x03};
    EXPECT_EQ(reinterpret_cast<WriteFn>(writerTable[8])(w, 39, code, 2), S_OK);
    std::uint8_t buffer[32] = {};
    EXPECT_EQ(reinterpret_cast<ReadFn>(readerTable[7])(r, 39, buffer, 31), S_OK);
    EXPECT_EQ(buffer[1], 0x03);
    EXPECT_EQ(reinterpret_cast<NameFn>(readerTable[9])(r, buffer, 32), S_OK);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer)), "Slot");
    static_cast<NodeReader*>(r)->Release();
    static_cast<NodeWriter*>(w)->Release();
    site->Release();
}

TEST(ClientSiteTest, SimLinkReachesTheNodeThroughASiteOfItsOwn) {
    SimNode node;
    node.SetName("Boiler1");
    const host::SimLink site(node);
    const NodeLink link = site.Link();
    const std::uint8_t code[2] = {0x00, 0x07};
    EXPECT_TRUE(link.Write(39, code, 2));
    EXPECT_EQ(node.Raw(39), (Bytes{0x00, 0x07}));
    std::uint8_t buffer[32] = {};
    EXPECT_TRUE(link.Read(39, buffer, 2));
    EXPECT_EQ(buffer[1], 0x07);
    EXPECT_TRUE(link.GetNodeName(buffer, 32));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer)), "Boiler1");
}

class StateFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("vireo-state-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    void WriteFile(const std::string& text) { std::ofstream(path()) << text; }
    std::string path() const { return (dir / "node.json").string(); }
    std::filesystem::path dir;
};

TEST_F(StateFileTest, SavedStateLoadsBackByteForByte) {
    SimNode node;
    node.SetName("Boiler1");
    node.SetRaw(25, Bytes(31, 0xAB));
    node.SetPart(12, Bytes(31, 0x5A));
    node.SetSelector(7);
    ASSERT_EQ(host::SaveNodeState(path(), node), "");
    SimNode loaded;
    ASSERT_EQ(host::LoadNodeState(path(), loaded), "");
    EXPECT_EQ(loaded.Name(), "Boiler1");
    EXPECT_EQ(loaded.Raw(25), Bytes(31, 0xAB));
    EXPECT_EQ(loaded.Part(12), node.Part(12));
    EXPECT_EQ(loaded.Selector(), 7);
    EXPECT_FALSE(std::filesystem::exists(path() + ".tmp"));
}

TEST_F(StateFileTest, BrokenFilesAreRejectedNamingTheFieldAndChangeNothing) {
    const struct {
        const char* text;
        const char* mentions;
    } cases[] = {
        {"{", "not valid JSON"},
        {"[1,2]", "expected a JSON object"},
        {R"({"name": 5})", "\"name\""},
        {R"({"variables": {"39": "00"}})", "\"variables.39\" expected 2 bytes, found 1"},
        {R"({"variables": {"39": "0G 00"}})", "\"variables.39\""},
        {R"({"variables": {"7": "00"}})", "\"variables.7\" is not a variable"},
        {R"({"variables": {"45": "00"}})", "\"variables.45\""},
        {R"({"parts": {"13": "00"}})", "\"parts.13\""},
        {R"({"parts": {"1": 17}})", "\"parts.1\""},
        {R"({"nmae": "x"})", "\"nmae\""},
        {R"({"version": 2})", "\"version\""},
        {R"({"version": 1e400})", "not valid JSON"},
    };
    for (const auto& c : cases) {
        WriteFile(c.text);
        SimNode node;
        node.SetName("Kept");
        const std::string error = host::LoadNodeState(path(), node);
        EXPECT_NE(error.find(c.mentions), std::string::npos) << c.text << " -> " << error;
        EXPECT_NE(error.find(path()), std::string::npos);
        EXPECT_EQ(node.Name(), "Kept") << c.text;
    }
}

TEST_F(StateFileTest, MissingFileIsReported) {
    SimNode node;
    EXPECT_NE(host::LoadNodeState((dir / "absent.json").string(), node), "");
}

TEST_F(StateFileTest, AFileThatCannotBeReplacedKeepsItsOldContent) {
    SimNode node;
    ASSERT_EQ(host::SaveNodeState(path(), node), "");
    const std::string blocked = (dir / "sub").string();
    std::filesystem::create_directories(dir / "sub" / "node.json");  // a folder in the way
    EXPECT_NE(host::SaveNodeState((dir / "sub" / "node.json").string(), node), "");
    (void)blocked;
}

std::string Text(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Saving replaces only a regular file, follows a link to the file it names, keeps the file's
// mode, refuses a read-only file, and never writes through a name another process planted.
TEST_F(StateFileTest, SavingTreatsTheFileAsACarefulEditorDoes) {
    SimNode node;
    node.SetName("Saved");
    const std::filesystem::path file = path();

    std::ofstream(file) << "{}";
    std::filesystem::permissions(
        file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    ASSERT_EQ(host::SaveNodeState(file.string(), node), "");
    EXPECT_EQ(std::filesystem::status(file).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    const std::filesystem::path victim = dir / "victim";
    std::ofstream(victim) << "untouched";
    std::filesystem::create_symlink(victim, file.string() + ".tmp");
    ASSERT_EQ(host::SaveNodeState(file.string(), node), "");
    EXPECT_EQ(Text(victim), "untouched");

    const std::filesystem::path real = dir / "real.json";
    const std::filesystem::path link = dir / "link.json";
    std::ofstream(real) << "{}";
    std::filesystem::create_symlink("real.json", link);
    ASSERT_EQ(host::SaveNodeState(link.string(), node), "");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_NE(Text(real).find("Saved"), std::string::npos);

    std::filesystem::permissions(real, std::filesystem::perms::owner_read);
    EXPECT_NE(host::SaveNodeState(real.string(), SimNode()).find("read-only"), std::string::npos);
    EXPECT_NE(Text(real).find("Saved"), std::string::npos);

    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_NE(host::SaveNodeState((dir / "fifo").string(), node).find("not a regular file"),
              std::string::npos);
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        EXPECT_EQ(entry.path().filename().string().find(".node.json."), std::string::npos)
            << "a temporary file was left: " << entry.path();
    }
}

// The first write of a new node makes the state file's folder; a write the state file cannot
// take fails on the node, which keeps the state saved.
TEST_F(StateFileTest, AWriteThatCannotBeSavedFails) {
    SimNode fresh;
    host::StateFileStore freshStore((dir / "new" / "node.json").string());
    fresh.store = &freshStore;
    const std::uint8_t selector[2] = {0, 3};
    EXPECT_EQ(fresh.WriteNv(nv::kPartSelector, selector, 2), S_OK) << freshStore.Error();
    EXPECT_TRUE(std::filesystem::exists(dir / "new" / "node.json"));

    SimNode node;
    ASSERT_EQ(host::SaveNodeState(path(), node), "");
    std::filesystem::permissions(path(), std::filesystem::perms::owner_read);
    host::StateFileStore store(path());
    node.store = &store;
    const Bytes before = node.Raw(39);
    const std::uint8_t value[2] = {0x12, 0x34};
    EXPECT_NE(node.WriteNv(39, value, 2), S_OK);
    EXPECT_EQ(node.Raw(39), before);
    EXPECT_NE(store.Error().find("read-only"), std::string::npos) << store.Error();
}

// A lock file planted as a link or a pipe is refused in one line; nothing is made where a link
// points, and nobody waits on a pipe.
TEST_F(StateFileTest, PlantedLockFilesAreRefused) {
    ASSERT_EQ(host::SaveNodeState(path(), SimNode()), "");
    const std::filesystem::path victim = dir / "victim";
    const struct {
        const char* lock;
        bool pipe;
        const char* reason;
    } cases[] = {
        {".lock", false, "symbolic link"},
        {".lock", true, "not a regular file"},
        {".operation.lock", false, "symbolic link"},
        {".operation.lock", true, "not a regular file"},
    };
    for (const auto& c : cases) {
        const std::string lock = path() + c.lock;
        std::filesystem::remove(lock);
        if (c.pipe) {
            ASSERT_EQ(::mkfifo(lock.c_str(), 0600), 0);
        } else {
            std::filesystem::create_symlink(victim, lock);
        }
        std::string error;
        if (std::string(c.lock) == ".lock") {
            SimNode node;
            host::StateFileStore store(path());
            node.store = &store;
            const std::uint8_t value[2] = {0, 1};
            EXPECT_NE(node.WriteNv(39, value, 2), S_OK);
            error = store.Error();
        } else {
            host::OperationLock held("Node1", lock, {});
            EXPECT_FALSE(held.Acquire());
            error = held.Error();
        }
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.lock << ": " << error;
        EXPECT_NE(error.find(lock), std::string::npos) << error;
        EXPECT_FALSE(std::filesystem::exists(victim)) << c.lock;
        std::filesystem::remove(lock);
    }
}

// A save removes the temporaries a killed save of ours left beside the file, and leaves the
// one a live process is writing (it holds its lock) and a name of another form.
TEST_F(StateFileTest, ASaveRemovesTheTemporariesOfKilledSaves) {
    const auto make = [this](const std::string& name, const std::string& content) {
        std::ofstream(dir / name) << content;
        return dir / name;
    };
    const auto killed = make(".node.json.Ab12Cd", "{\"half\":");
    const auto killedEmpty = make(".node.json.Zz99zz", "");
    std::filesystem::last_write_time(
        killedEmpty, std::filesystem::file_time_type::clock::now() - std::chrono::minutes(2));
    const auto justMade = make(".node.json.Yy88yy", "");
    const auto live = make(".node.json.Xx77xx", "{\"being\":");
    const auto other = make(".node.json.tmp", "not ours");
    const int held = ::open(live.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    ASSERT_EQ(host::SaveNodeState(path(), SimNode()), "");
    ::close(held);
    EXPECT_FALSE(std::filesystem::exists(killed));
    EXPECT_FALSE(std::filesystem::exists(killedEmpty));
    EXPECT_TRUE(std::filesystem::exists(justMade));
    EXPECT_TRUE(std::filesystem::exists(live));
    EXPECT_TRUE(std::filesystem::exists(other));
}

// Processes writing different variables of one state file lose nothing, and a reader never
// sees a file that does not load.
TEST_F(StateFileTest, ProcessesSharingAStateFileLoseNoWrite) {
    ASSERT_EQ(host::SaveNodeState(path(), SimNode()), "");
    constexpr int kWrites = 60;
    const auto writer = [this](int index) {
        SimNode node;
        if (!host::LoadNodeState(path(), node).empty()) {
            return 1;
        }
        host::StateFileStore store(path());
        node.store = &store;
        for (int i = 1; i <= kWrites; ++i) {
            const std::uint8_t value[2] = {static_cast<std::uint8_t>(index),
                                           static_cast<std::uint8_t>(i)};
            if (node.WriteNv(index, value, 2) != S_OK) {
                return 1;
            }
        }
        return 0;
    };
    const auto reader = [this] {
        for (int i = 0; i < 3 * kWrites; ++i) {
            SimNode node;
            if (!host::LoadNodeState(path(), node).empty()) {
                return 1;
            }
        }
        return 0;
    };
    std::vector<pid_t> children;
    for (const std::function<int()>& work : std::vector<std::function<int()>>{
             [&] { return writer(39); }, [&] { return writer(40); }, reader}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::_exit(work());
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    SimNode after;
    ASSERT_EQ(host::LoadNodeState(path(), after), "");
    EXPECT_EQ(after.Raw(39), (Bytes{39, kWrites}));
    EXPECT_EQ(after.Raw(40), (Bytes{40, kWrites}));
}

}  // namespace
