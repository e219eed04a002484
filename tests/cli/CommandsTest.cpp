// The command-line operations on a node state file: the same export, download and defaults
// as the page, with their exit status and result line.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "cli/Commands.h"
#include "cli/Password.h"
#include "cli/ViewCommands.h"
#include "sim/NodeStateFile.h"
#include "sim/OperationLock.h"
#include "sim/SimNode.h"

namespace {

class CommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              (std::string("vireo-commands-") +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
        options.nodeFile = (dir / "node.json").string();
        options.sleep = [this](int ms) { pausedMs += ms; };
        host::SimNode node;
        node.SetName("Boiler1");
        ASSERT_EQ(host::SaveNodeState(options.nodeFile, node), "");
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    host::SimNode Node() const {
        host::SimNode node;
        EXPECT_EQ(host::LoadNodeState(options.nodeFile, node), "");
        return node;
    }
    void SaveNode(const host::SimNode& node) const {
        ASSERT_EQ(host::SaveNodeState(options.nodeFile, node), "");
    }

    template <typename Command>
    int Run(Command command) {
        out.str("");
        err.str("");
        return command(options, out, err);
    }

    static std::string Text(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    std::filesystem::path dir;
    host::CommandOptions options;
    std::ostringstream out;
    std::ostringstream err;
    int pausedMs = 0;
};

TEST_F(CommandsTest, ExportThenDownloadIntoAnotherNodeRestoresIt) {
    host::SimNode node = Node();
    node.SetRaw(39, {0x00, 0x03});
    node.SetPart(9, host::Bytes(31, 0x21));
    SaveNode(node);
    options.file = (dir / "boiler.txt").string();
    ASSERT_EQ(Run(host::RunExportCommand), 0) << err.str();
    EXPECT_EQ(out.str(), "File written\n");
    EXPECT_NE(err.str().find("Part 11 of 12"), std::string::npos);
    EXPECT_EQ(pausedMs, 12 * 750);

    SaveNode(host::SimNode());  // another node, in its factory state
    options.password = "Quorka";
    ASSERT_EQ(Run(host::RunDownloadCommand), 0) << err.str();
    EXPECT_EQ(out.str(), "Download completed\n");
    const host::SimNode after = Node();
    EXPECT_EQ(after.Raw(39), (host::Bytes{0x00, 0x03}));
    EXPECT_EQ(after.Part(9), node.Part(9));
    EXPECT_EQ(after.Selector(), 0);
}

TEST_F(CommandsTest, MismatchingProgramIdIsRefusedUnlessYesIsGiven) {
    options.file = (dir / "other.txt").string();
    std::ofstream(options.file) << "- 90 56 69 72 65 6F 4B 2B\r\n"
                                << "* nciSwitchExt1     (38) - SNVT_count             \r\n"
                                << "4\r\n";
    options.password = "Quorka";
    EXPECT_EQ(Run(host::RunDownloadCommand), 1);
    EXPECT_EQ(out.str(), "Download not completed\n");
    EXPECT_EQ(Node().Raw(39), (host::Bytes{0x00, 0xFF}));

    options.yes = true;
    EXPECT_EQ(Run(host::RunDownloadCommand), 0) << err.str();
    EXPECT_EQ(Node().Raw(39), (host::Bytes{0x00, 0x04}));
}

TEST_F(CommandsTest, WrongPasswordsFailAndWriteNothing) {
    options.file = (dir / "node.txt").string();
    ASSERT_EQ(Run(host::RunExportCommand), 0) << err.str();
    pausedMs = 0;
    options.password = "quorka";
    EXPECT_EQ(Run(host::RunDownloadCommand), 1);
    EXPECT_EQ(out.str(), "Wrong password!\n");
    EXPECT_EQ(Run(host::RunDefaultsCommand), 1);
    EXPECT_EQ(out.str(), "Wrong password\n");
    EXPECT_EQ(pausedMs, 0);
}

TEST_F(CommandsTest, DefaultsRestoreTheFactoryImage) {
    host::SimNode node = Node();
    node.SetRaw(37, host::Bytes(31, 0));
    SaveNode(node);
    options.password = "Quorka";
    ASSERT_EQ(Run(host::RunDefaultsCommand), 0) << err.str();
    EXPECT_EQ(out.str(), "Please restart the plugin\n");
    EXPECT_EQ(Node().Raw(37), host::SimNode().Raw(37));
}

TEST_F(CommandsTest, BrokenOrMissingStateFileIsReportedAndLeftAlone) {
    std::ofstream(options.nodeFile) << "{\"parts\": {\"1\": \"00\"}}";
    options.file = (dir / "x.txt").string();
    EXPECT_EQ(Run(host::RunExportCommand), 1);
    EXPECT_NE(err.str().find("parts.1"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(options.file));
    std::ifstream kept(options.nodeFile);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}),
              "{\"parts\": {\"1\": \"00\"}}");

    options.nodeFile = (dir / "absent.json").string();
    EXPECT_EQ(Run(host::RunExportCommand), 1);
    EXPECT_NE(err.str().find("does not exist"), std::string::npos);
}

// What a command can see before the node is touched fails at once: no pause made, the node's
// state file untouched, one line naming the path.
TEST_F(CommandsTest, EarlyFailuresNameThePathBeforeAnyNodeTraffic) {
    const std::string state = Text(options.nodeFile);
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    std::ofstream(dir / "plain.txt") << "no Program ID here\n";
    std::filesystem::create_directories(dir / "locked");
    std::filesystem::permissions(
        dir / "locked", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    // Permissions do not bind root: the locked folder is a case only where they do.
    const bool permissionsBind = ::access((dir / "locked").c_str(), W_OK) != 0;
    using Command = int (*)(host::CommandOptions, std::ostream&, std::ostream&);
    const Command exportCommand = [](host::CommandOptions o, std::ostream& a, std::ostream& b) {
        return host::RunExportCommand(o, a, b);
    };
    const struct {
        Command command;
        std::filesystem::path file;
        const char* reason;
        bool applies;
    } cases[] = {
        {exportCommand, dir / "missing" / "x.txt", "No such file or directory", true},
        {exportCommand, dir / "plain.txt" / "x.txt", "Not a directory", true},
        {exportCommand, dir / "locked" / "x.txt", "Permission denied", permissionsBind},
        {exportCommand, dir, "Is a directory", true},
        {exportCommand, dir / "fifo", "not a regular file", true},
        {host::RunDownloadCommand, dir / "missing.txt", "No such file or directory", true},
        {host::RunDownloadCommand, dir, "Is a directory", true},
        {host::RunDownloadCommand, dir / "fifo", "not a regular file", true},
        {host::RunDownloadCommand, dir / "plain.txt", "no Program ID line", true},
    };
    options.password = "Quorka";
    for (const auto& c : cases) {
        if (!c.applies) {
            continue;
        }
        options.file = c.file.string();
        pausedMs = 0;
        EXPECT_EQ(Run(c.command), 1) << c.file;
        EXPECT_NE(err.str().find(c.file.string()), std::string::npos) << err.str();
        EXPECT_NE(err.str().find(c.reason), std::string::npos) << err.str();
        EXPECT_EQ(out.str(), "") << c.file;
        EXPECT_EQ(pausedMs, 0) << c.file;
    }
    EXPECT_EQ(Text(options.nodeFile), state);
}

// A state file that cannot be a state file is one clear line and status 1, never an abort;
// one that cannot be saved makes the writes fail, and the command says so.
TEST_F(CommandsTest, HostileStateFilesAreReportedAndUnsavableWritesFail) {
    std::filesystem::create_symlink("loop.json", dir / "loop.json");
    const struct {
        std::string node;
        const char* reason;
    } cases[] = {
        {dir.string(), "Is a directory"},
        {(dir / "loop.json").string(), "Too many levels of symbolic links"},
        {(dir / std::string(300, 'n')).string(), "File name too long"},
        {(dir / "pipe.json").string(), "not a regular file"},
        {(dir / "huge.json").string(), "larger than 16 MB"},
    };
    ASSERT_EQ(::mkfifo((dir / "pipe.json").c_str(), 0600), 0);
    std::ofstream(dir / "huge.json") << "{}";
    std::filesystem::resize_file(dir / "huge.json", 16 * 1024 * 1024 + 1);
    options.file = (dir / "out.txt").string();
    for (const auto& c : cases) {
        options.nodeFile = c.node;
        EXPECT_EQ(Run(host::RunExportCommand), 1) << c.node;
        EXPECT_NE(err.str().find(c.reason), std::string::npos) << err.str();
        EXPECT_NE(err.str().find(c.node), std::string::npos) << err.str();
    }

    options.nodeFile = (dir / "node.json").string();
    ASSERT_EQ(Run(host::RunExportCommand), 0) << err.str();
    std::filesystem::permissions(options.nodeFile, std::filesystem::perms::owner_read);
    const std::string before = Text(options.nodeFile);
    options.password = "Quorka";
    EXPECT_EQ(Run(host::RunDownloadCommand), 1);
    EXPECT_NE(out.str().find("Download not completed"), std::string::npos) << out.str();
    EXPECT_NE(err.str().find("read-only"), std::string::npos) << err.str();
    EXPECT_EQ(Text(options.nodeFile), before);
}

TEST_F(CommandsTest, ExportOverwritesOnlyWithForceAndWritesToStandardOutputForDash) {
    options.file = (dir / "node.txt").string();
    std::ofstream(options.file) << "keep me";
    EXPECT_EQ(Run(host::RunExportCommand), 1);
    EXPECT_NE(err.str().find("--force"), std::string::npos);
    EXPECT_EQ(pausedMs, 0);
    EXPECT_EQ(std::filesystem::file_size(options.file), 7u);

    options.force = true;
    ASSERT_EQ(Run(host::RunExportCommand), 0) << err.str();
    const std::string file = Text(options.file);
    EXPECT_NE(file.find("nciTemp1PlugIn"), std::string::npos);

    // Through a link, the file it names is replaced and the link stays.
    std::filesystem::create_symlink("node.txt", dir / "link.txt");
    std::ofstream(options.file) << "old";
    options.file = (dir / "link.txt").string();
    ASSERT_EQ(Run(host::RunExportCommand), 0) << err.str();
    EXPECT_TRUE(std::filesystem::is_symlink(options.file));
    EXPECT_NE(Text((dir / "node.txt").string()).find("nciTemp1PlugIn"), std::string::npos);

    options.file = "-";
    ASSERT_EQ(Run(host::RunExportCommand), 0) << err.str();
    // The same file (but for its timestamp), and nothing else, on standard output.
    const auto data = [](const std::string& text) {
        return text.substr(text.find("/ Network variable data"));
    };
    EXPECT_TRUE(out.str().starts_with("/////"));
    EXPECT_EQ(data(out.str()), data(file));
    EXPECT_NE(err.str().find("File written"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "-"));
}

// Every operation names its last step; on a terminal one line is rewritten in place, its
// seconds left counted down from the operation's exact pauses to 0.
TEST_F(CommandsTest, ProgressReachesTheLastStep) {
    options.file = (dir / "node.txt").string();
    options.password = "Quorka";
    ASSERT_EQ(Run(host::RunExportCommand), 0);
    EXPECT_NE(err.str().find("Part 12 of 12\n"), std::string::npos) << err.str();
    ASSERT_EQ(Run(host::RunDefaultsCommand), 0);
    EXPECT_NE(err.str().find("Part 12 of 12\n"), std::string::npos) << err.str();

    options.progress = host::ProgressStyle::Terminal;
    options.force = true;
    ASSERT_EQ(Run(host::RunExportCommand), 0);
    const std::string shown = err.str();
    const std::size_t first = shown.find('\r');
    const std::string line = shown.substr(first, shown.find("File written") - first);
    EXPECT_EQ(line.find('\n'), line.size() - 1) << "one line, rewritten: " << shown;
    EXPECT_NE(shown.find("\rExport  nciTemp1PlugIn  [....."), std::string::npos) << shown;
    EXPECT_NE(shown.find("9 s left"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Part 12 of 12   [########################]  0 s left"), std::string::npos)
        << shown;

    options.progress = host::ProgressStyle::Quiet;
    ASSERT_EQ(Run(host::RunExportCommand), 0);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(out.str(), "File written\n");
}

TEST(PasswordTest, SourcesAreTakenInTheirOrderAndAnUnreadableFileIsAnError) {
    const auto file = std::filesystem::temp_directory_path() / "vireo-password-test";
    std::ofstream(file) << "FromFile\r\nsecond line\n";
    const auto prompt = [] { return std::optional<std::string>("Asked"); };
    const struct {
        host::PasswordSources sources;
        std::optional<std::string> password;
    } cases[] = {
        {{"Option", file.string(), "Env", prompt}, "Option"},
        {{std::nullopt, file.string(), "Env", prompt}, "FromFile"},
        {{std::nullopt, std::nullopt, "Env", prompt}, "Env"},
        {{std::nullopt, std::nullopt, std::nullopt, prompt}, "Asked"},
        {{std::nullopt, std::nullopt, std::nullopt, nullptr}, std::nullopt},
        {{std::nullopt, "/no/such/password", "Env", prompt}, std::nullopt},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_EQ(host::ResolvePassword(c.sources, error), c.password);
        EXPECT_EQ(error.empty(), c.password.has_value()) << error;
    }
    std::filesystem::remove(file);
}

// A signal at the silent password prompt (Ctrl-C, a hang-up, a kill) leaves the terminal
// echoing again, and the signal still ends the process.
TEST(PasswordTest, ASignalAtThePromptPutsTheEchoBack) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(terminal, 0);
        ASSERT_EQ(::grantpt(terminal), 0);
        ASSERT_EQ(::unlockpt(terminal), 0);
        const std::string side = ::ptsname(terminal);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const rlimit noCore{0, 0};
            ::setrlimit(RLIMIT_CORE, &noCore);
            ::setsid();
            const int fd = ::open(side.c_str(), O_RDWR);
            ::dup2(fd, STDIN_FILENO);
            ::dup2(fd, STDERR_FILENO);
            const auto sources = host::ProcessPasswordSources(std::nullopt, std::nullopt);
            ::_exit(sources.prompt && sources.prompt() ? 0 : 3);
        }
        std::string shown;
        char c = 0;
        while (shown.find("Service password: ") == std::string::npos &&
               ::read(terminal, &c, 1) == 1) {
            shown += c;
        }
        termios now{};
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (::tcgetattr(terminal, &now) == 0 && (now.c_lflag & ECHO) != 0 &&
               std::chrono::steady_clock::now() < giveUp) {
        }
        ASSERT_EQ(now.c_lflag & ECHO, 0u) << "the prompt turns the echo off";
        ::kill(child, signal);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        ASSERT_EQ(::tcgetattr(terminal, &now), 0);
        EXPECT_NE(now.c_lflag & ECHO, 0u) << "signal " << signal;
        ::close(terminal);
    }
}

// Without a temporary folder the export to standard output fails naming TMPDIR, and the
// planning of a terminal's progress writes no file at all (never "/settings.txt").
TEST_F(CommandsTest, WithoutATemporaryFolderNothingIsWrittenElsewhere) {
    const std::string tmpdir = std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "";
    const bool hadOne = std::filesystem::exists("/settings.txt");
    ::setenv("TMPDIR", "/proc", 1);  // a folder where nobody can make one
    options.file = "-";
    EXPECT_EQ(Run(host::RunExportCommand), 1);
    EXPECT_NE(err.str().find("cannot make a temporary folder in /proc (TMPDIR)"), std::string::npos)
        << err.str();
    EXPECT_EQ(out.str(), "");
    options.file = (dir / "node.txt").string();
    options.progress = host::ProgressStyle::Terminal;
    EXPECT_EQ(Run(host::RunExportCommand), 0) << err.str();
    EXPECT_NE(err.str().find("9 s left"), std::string::npos) << err.str();
    const bool strayed = !hadOne && std::filesystem::exists("/settings.txt");
    if (strayed) {
        std::filesystem::remove("/settings.txt");
    }
    EXPECT_FALSE(strayed);
    ::setenv("TMPDIR", tmpdir.c_str(), 1);
}

TEST_F(CommandsTest, NodeShowDecodesTheStateFile) {
    host::SimNode node = Node();
    node.SetRaw(39, {0x00, 0x03});
    SaveNode(node);
    EXPECT_EQ(host::RunNodeShowCommand(options.nodeFile, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("Node name:  Boiler1"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("Program ID: 90 56 69 72 65 6F 4B 2A"), std::string::npos);
    EXPECT_NE(out.str().find("00 03\n"), std::string::npos) << out.str();
    EXPECT_EQ(host::RunNodeShowCommand((dir / "absent.json").string(), out, err), 1);
    EXPECT_NE(err.str().find("vireo node new"), std::string::npos) << err.str();
}

// Two processes on one node: an operation that uses the part window holds the node whole, so
// each part ends as the operation that ran last left it, and an export files each part's own
// bytes. The runs start together and pace their pauses as a node would, scaled down.
enum class Op { DownloadA, DownloadB, Export };

struct Race {
    const char* name;
    Op first;
    Op second;
};

void PrintTo(const Race& race, std::ostream* os) {
    *os << race.name;
}

class NodeRaceTest : public CommandsTest, public ::testing::WithParamInterface<Race> {
protected:
    // A settings file of a node whose parts and single variables all hold distinct bytes.
    std::string MakeFile(const std::string& name, std::uint8_t seed) {
        host::SimNode source;
        for (int part = 1; part <= 12; ++part) {
            source.SetPart(part, host::Bytes(31, static_cast<std::uint8_t>(seed + part)));
        }
        source.SetRaw(39, {0x00, seed});
        const std::string file = (dir / (name + ".txt")).string();
        host::CommandOptions o = options;
        o.nodeFile = (dir / (name + ".json")).string();
        o.file = file;
        EXPECT_EQ(host::SaveNodeState(o.nodeFile, source), "");
        std::ostringstream sink;
        EXPECT_EQ(host::RunExportCommand(o, sink, sink), 0) << sink.str();
        return file;
    }

    int RunOp(Op op, const std::string& exportFile) {
        host::CommandOptions o = options;
        o.password = "Quorka";
        o.progress = host::ProgressStyle::Quiet;
        o.force = true;
        o.sleep = [](int ms) { ::usleep(static_cast<useconds_t>(ms) * 4); };
        o.file = op == Op::DownloadA ? fileA : op == Op::DownloadB ? fileB : exportFile;
        std::ostringstream sink;
        return op == Op::Export ? host::RunExportCommand(o, sink, sink)
                                : host::RunDownloadCommand(o, sink, sink);
    }

    // What the node keeps: every part and every variable but the part window.
    std::vector<host::Bytes> Image() const {
        const host::SimNode node = Node();
        std::vector<host::Bytes> image;
        for (int part = 1; part <= 12; ++part) {
            const host::PartImage bytes = node.Part(part);
            image.emplace_back(bytes.begin(), bytes.end());
        }
        for (int index = 0; index < 44; ++index) {
            image.push_back(node.Raw(index));
        }
        return image;
    }

    // The node's image and export after op ran alone on the starting node.
    std::pair<std::vector<host::Bytes>, std::string> Alone(Op op) {
        const std::string start = Text(options.nodeFile);
        const std::string file = (dir / "alone.txt").string();
        EXPECT_EQ(RunOp(op, file), 0);
        EXPECT_EQ(RunOp(Op::Export, file), 0);
        std::pair<std::vector<host::Bytes>, std::string> result{Image(), Data(Text(file))};
        std::ofstream(options.nodeFile, std::ios::binary | std::ios::trunc) << start;
        return result;
    }

    static std::string Data(const std::string& text) {
        const std::size_t data = text.find("/ Network variable data");
        return data == std::string::npos ? text : text.substr(data);
    }

    std::string fileA;
    std::string fileB;
};

TEST_P(NodeRaceTest, OneOperationAtATimeOnANode) {
    fileA = MakeFile("a", 0x40);
    fileB = MakeFile("b", 0x80);
    const Race race = GetParam();
    const std::string start = Text(options.nodeFile);
    const std::vector<std::pair<std::vector<host::Bytes>, std::string>> outcomes{
        Alone(Op::Export), Alone(race.first), Alone(race.second)};
    const char* trials = std::getenv("VIREO_RACE_TRIALS");
    for (int trial = 0, n = trials != nullptr ? std::atoi(trials) : 3; trial < n; ++trial) {
        std::ofstream(options.nodeFile, std::ios::binary | std::ios::trunc) << start;
        const std::string exported = (dir / "raced.txt").string();
        int go[2];
        ASSERT_EQ(::pipe(go), 0);
        std::vector<pid_t> children;
        for (const Op op : {race.first, race.second}) {
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                char byte = 0;
                ::close(go[1]);
                ::_exit(::read(go[0], &byte, 1) == 0 ? RunOp(op, exported) : 3);
            }
            children.push_back(child);
        }
        ::close(go[0]);
        ::close(go[1]);  // both start now
        for (const pid_t child : children) {
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "trial " << trial;
        }
        const std::vector<host::Bytes> image = Image();
        bool asOneLeftIt = false;
        for (const auto& outcome : outcomes) {
            asOneLeftIt = asOneLeftIt || outcome.first == image;
        }
        EXPECT_TRUE(asOneLeftIt) << "trial " << trial << ": the node mixes both operations";
        if (race.second == Op::Export) {
            const std::string data = Data(Text(exported));
            EXPECT_TRUE(data == outcomes[0].second || data == outcomes[1].second)
                << "trial " << trial << ": the export mixes the node before and after";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(TwoProcesses, NodeRaceTest,
                         ::testing::Values(Race{"TwoDownloads", Op::DownloadA, Op::DownloadB},
                                           Race{"DownloadAndExport", Op::DownloadA, Op::Export}),
                         [](const auto& info) { return std::string(info.param.name); });

// A node another process holds: --no-wait fails at once, naming the holder, and touches
// nothing; a waiting process says whom it waits for.
TEST_F(CommandsTest, ANodeInUseIsWaitedForOrRefusedWithItsHolder) {
    host::OperationLock holder("Boiler1", host::OperationLock::PathForStateFile(options.nodeFile),
                               {});
    ASSERT_TRUE(holder.Acquire()) << holder.Error();
    const std::string before = Text(options.nodeFile);
    const std::string inUse = "node Boiler1 is in use by process " + std::to_string(::getpid());
    options.noWait = true;
    options.password = "Quorka";
    EXPECT_EQ(Run(host::RunDefaultsCommand), 1);
    EXPECT_NE(out.str().find(inUse), std::string::npos) << out.str();
    EXPECT_EQ(pausedMs, 0);
    EXPECT_EQ(Text(options.nodeFile), before);

    std::vector<std::string> told;
    host::OperationLock waiter("Boiler1", host::OperationLock::PathForStateFile(options.nodeFile),
                               {.notice = [&told](const std::string& t) { told.push_back(t); },
                                .noticeAfter = std::chrono::milliseconds(0),
                                .stop = [&told] { return !told.empty(); }});
    EXPECT_FALSE(waiter.Acquire());
    ASSERT_EQ(told.size(), 1U);
    EXPECT_EQ(told[0].find("waiting: " + inUse), 0U) << told[0];
    holder.Release();
    EXPECT_TRUE(waiter.Acquire()) << "a node freed is free";
}

}  // namespace

namespace {

// A second simulated node starts from the factory image with its own name, and an existing
// state file is never replaced.
TEST(NewNodeCommandTest, CreatesAFactoryNodeAndNeverOverwrites) {
    const auto dir = std::filesystem::temp_directory_path() / "vireo-new-node-test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "second.json").string();
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(host::RunNewNodeCommand(path, "Boiler2", out, err), 0);
    host::SimNode node;
    ASSERT_EQ(host::LoadNodeState(path, node), "");
    EXPECT_EQ(node.Name(), "Boiler2");
    EXPECT_EQ(node.Part(1), host::SimNode().Part(1));

    node.SetName("Changed");
    ASSERT_EQ(host::SaveNodeState(path, node), "");
    EXPECT_EQ(host::RunNewNodeCommand(path, "Boiler3", out, err), 1);
    EXPECT_NE(err.str().find("already exists"), std::string::npos);
    ASSERT_EQ(host::LoadNodeState(path, node), "");
    EXPECT_EQ(node.Name(), "Changed");

    // Processes making one node at once: exactly one makes it, the others are told it exists.
    const std::string raced = (dir / "raced.json").string();
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < 6; ++i) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(start[1]);
            char go = 0;
            (void)!::read(start[0], &go, 1);  // all start when the pipe closes
            std::ostringstream said;
            ::_exit(host::RunNewNodeCommand(raced, "Racer" + std::to_string(i), said, said));
        }
        children.push_back(child);
    }
    ::close(start[0]);
    ::close(start[1]);
    int made = 0;
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        made += WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 1 : 0;
    }
    EXPECT_EQ(made, 1);
    std::filesystem::remove_all(dir);
}

}  // namespace
