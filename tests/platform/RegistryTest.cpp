// The registry: its tree with names that ignore case, its text form read and written, and the
// file it lives in, edited in locked transactions that never damage the file on failure.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "framework/Registry.h"

namespace {

namespace fs = std::filesystem;
using platform::FormatRegistry;
using platform::ParseRegistry;
using platform::RegistryFile;
using platform::RegistryKey;

// ---- The text form -----------------------------------------------------------------------------

TEST(RegistryTextTest, AwkwardValuesSurviveARoundTrip) {
    RegistryKey tree;
    RegistryKey& server = tree.Create("HKEY_CLASSES_ROOT\\CLSID\\{1}\\InprocServer32");
    server.SetDefault("/usr/lib/vireo/Vireo.so");
    server.SetValue("ThreadingModel", "Apartment");
    server.SetValue("quote\"and\\slash", "say \"hi\"\\ \\n\nnext line\\");
    server.SetValue("utf8", "Grüße, 東京 ✓\ttab\r");
    tree.Create("HKEY_CLASSES_ROOT\\CLSID\\{1}").SetDefault("");
    tree.Create("HKEY_CLASSES_ROOT\\Vireo.Control\\Empty");
    tree.Create("[odd] = \"name\"");

    RegistryKey back;
    ASSERT_EQ(ParseRegistry(FormatRegistry(tree), back), "");
    EXPECT_EQ(back, tree);
}

TEST(RegistryTextTest, FormatsKeysParentsFirstInNameOrderIgnoringCase) {
    RegistryKey tree;
    tree.Create("Zed\\y").SetDefault("");
    RegistryKey& a = tree.Create("a");
    a.SetDefault("x");
    a.Create("C");
    RegistryKey& b = a.Create("b");
    b.SetValue("N", "q\"b\\n\n");
    b.SetValue("m", "2");

    EXPECT_EQ(FormatRegistry(tree),
              "REGEDIT4\n"
              "\n"
              "[a]\n"
              "@=\"x\"\n"
              "\n"
              "[a\\b]\n"
              "\"m\"=\"2\"\n"
              "\"N\"=\"q\\\"b\\\\n\\n\"\n"
              "\n"
              "[a\\C]\n"
              "\n"
              "[Zed\\y]\n"
              "@=\"\"\n"
              "\n");
}

TEST(RegistryTextTest, ReadsCommentsBlankLinesAndCrLf) {
    RegistryKey root;
    root.Create("stale");
    ASSERT_EQ(ParseRegistry("; written by hand\r\n\r\nREGEDIT4\r\n\r\n[A\\B]\r\n; note\r\n"
                            "@=\"x\"\r\n\r\n\"n\"=\"y\"\r\n",
                            root),
              "");
    EXPECT_EQ(root.Find("stale"), nullptr);
    const RegistryKey* b = root.Find("A\\B");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Default(), "x");
    EXPECT_EQ(b->Value("n"), "y");
}

struct Malformed {
    const char* text;
    const char* error;  // how the reason starts
};

class MalformedRegistryTest : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedRegistryTest, NamesTheLineAndLeavesTheTreeEmpty) {
    RegistryKey root;
    root.Create("stale");
    const std::string error = ParseRegistry(GetParam().text, root);
    EXPECT_EQ(error.rfind(GetParam().error, 0), 0u) << error;
    EXPECT_TRUE(root.Empty());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MalformedRegistryTest,
    ::testing::Values(
        Malformed{"hello\n", "line 1: not a registry file"},
        Malformed{"; c\n\nREGEDIT5\n[A]\n", "line 3: not a registry file"},
        Malformed{"REGEDIT4\n\n@=\"x\"\n", "line 3: a value outside any key"},
        Malformed{"REGEDIT4\n[A]\n\"n\"=\"x\n", "line 3: a string without its closing"},
        Malformed{"REGEDIT4\n[A]\n@=\"x\\\"\n", "line 3: a string without its closing"},
        Malformed{"REGEDIT4\n[A]\n@=\"a\\tb\"\n", "line 3: an unknown escape \\t"},
        Malformed{"REGEDIT4\n[A]\n@=\"x\" \n", "line 3: text after the value"},
        Malformed{"REGEDIT4\n[A]\n\"n\"\"x\"\n", "line 3: no '='"},
        Malformed{"REGEDIT4\r\n[A]\r\n\r\n\"n\"=x\r\n", "line 4: a string that does not start"},
        Malformed{"REGEDIT4\n[A\\\\B]\n", "line 2: a key path with an empty name"},
        Malformed{"REGEDIT4\n[\\A]\n", "line 2: a key path with an empty name"},
        Malformed{"REGEDIT4\n[]\n", "line 2: a key path with an empty name"},
        Malformed{"REGEDIT4\n[A] x\n", "line 2: a key line that does not end"},
        Malformed{"REGEDIT4\n[A]\nREGEDIT4\n", "line 3: neither a key nor a value"},
        Malformed{"REGEDIT4\n[A]\n\"n\"=dword:2a\n", "line 3: a dword that is not eight"},
        Malformed{"REGEDIT4\n[A]\n@=dword:0000002g\n", "line 3: a dword that is not eight"},
        Malformed{"REGEDIT4\n[A]\n@=hex:0g\n", "line 3: a hex byte that is not"},
        Malformed{"REGEDIT4\n[A]\n@=hex:100\n", "line 3: a hex byte that is not"},
        Malformed{"REGEDIT4\n[A]\n@=hex:00,\n", "line 3: a hex byte that is not"},
        Malformed{"REGEDIT4\n[A]\n@=hex:00,\\\n  01,,02\n", "line 4: a hex byte that is not"},
        Malformed{"REGEDIT4\n[A]\n@=hex:00,\\\n", "line 3: a hex list continued past the end"},
        Malformed{"REGEDIT4\n[A]\n@=hex(z):00\n", "line 3: a hex(N): type that is not"},
        Malformed{"REGEDIT4\n[A]\n@=hex(2:00\n", "line 3: a hex(N): type that is not"}));

// ---- The tree ----------------------------------------------------------------------------------

TEST(RegistryKeyTest, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    RegistryKey root;
    root.Create("Foo\\Bar");
    RegistryKey& baz = root.Create("FOO\\bar\\Baz");
    EXPECT_EQ(root.Find("foo\\BAR\\baz"), &baz);
    ASSERT_EQ(root.Subkeys().size(), 1u);
    EXPECT_EQ(root.Subkeys().begin()->first, "Foo");
    EXPECT_EQ(root.Find("Foo")->Subkeys().begin()->first, "Bar");

    baz.SetValue("Name", "1");
    baz.SetValue("NAME", "2");
    ASSERT_EQ(baz.Values().size(), 1u);
    EXPECT_EQ(baz.Values().begin()->first, "Name");
    EXPECT_EQ(baz.Value("name"), "2");
    EXPECT_TRUE(baz.DeleteValue("nAmE"));
    EXPECT_FALSE(baz.DeleteValue("name"));
    EXPECT_EQ(baz.Value("name"), std::nullopt);

    // The empty name is the default value.
    EXPECT_TRUE(baz.Empty());
    baz.SetValue("", "d");
    EXPECT_EQ(baz.Default(), "d");
    EXPECT_EQ(baz.Value(""), "d");
    EXPECT_FALSE(baz.Empty());
    EXPECT_TRUE(baz.DeleteValue(""));
    EXPECT_TRUE(baz.Empty());
}

TEST(RegistryKeyTest, DeleteRemovesTheSubtreeAndEmptyNamesMatchNothing) {
    RegistryKey root;
    root.Create("A\\B\\C").SetDefault("x");
    EXPECT_FALSE(root.Delete("A\\\\B"));
    EXPECT_FALSE(root.Delete("\\A"));
    EXPECT_FALSE(root.Delete("A\\"));
    EXPECT_FALSE(root.Delete(""));
    EXPECT_EQ(root.Find("A\\\\B"), nullptr);
    EXPECT_EQ(root.Find("\\A"), nullptr);
    EXPECT_EQ(root.Find(""), &root);

    EXPECT_TRUE(root.Delete("a\\b"));
    EXPECT_EQ(root.Find("A\\B\\C"), nullptr);
    EXPECT_EQ(root.Find("A\\B"), nullptr);
    EXPECT_NE(root.Find("A"), nullptr);
    EXPECT_FALSE(root.Delete("A\\B"));

    // Create skips empty parts rather than making keys without a name.
    RegistryKey& y = root.Create("\\X\\\\Y\\");
    EXPECT_EQ(root.Find("X\\Y"), &y);
    EXPECT_EQ(root.Find("X")->Subkeys().size(), 1u);
}

// Trees of any depth are copied, compared, written and destroyed without recursion; a file holds
// keys up to kMaxKeyDepth levels deep and a deeper one is refused with its line.
TEST(RegistryKeyTest, DeepTreesNeedNoRecursion) {
    const auto path = [](int levels) {
        std::string text = "K";
        for (int i = 1; i < levels; ++i) {
            text += "\\K";
        }
        return text;
    };
    RegistryKey tree;
    tree.Create(path(200000)).SetDefault("x");
    RegistryKey copy = tree;
    EXPECT_TRUE(copy == tree);
    copy.Find(path(200000))->SetDefault("y");
    EXPECT_FALSE(copy == tree);
    RegistryKey read;
    read.Create("stale");
    EXPECT_EQ(ParseRegistry(FormatRegistry(tree), read),
              "line 3: a key path deeper than 64 levels");
    EXPECT_TRUE(read.Empty());
    EXPECT_TRUE(copy.Delete("K\\K"));

    RegistryKey deepest;
    deepest.Create(path(platform::kMaxKeyDepth)).SetValue("n", "1");
    ASSERT_EQ(ParseRegistry(FormatRegistry(deepest), read), "");
    EXPECT_EQ(read, deepest);
}

// ---- The file ----------------------------------------------------------------------------------

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class RegistryFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = fs::path(::testing::TempDir()) /
                 ("vireo-registry-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        path = folder / "registry.reg";
        platform::SetLastRegistryError("");
    }
    void TearDown() override { fs::remove_all(folder); }

    std::vector<std::string> FolderNames() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder;
    fs::path path;
};

TEST_F(RegistryFileTest, LoadReadsAnAbsentFileAsEmptyAndNamesTheFileOnErrors) {
    RegistryKey root;
    root.Create("stale");
    EXPECT_EQ(RegistryFile(path).Load(root), "");
    EXPECT_TRUE(root.Empty());

    WriteText(path, "REGEDIT4\n\n[A]\n@=\"x\n");
    const std::string error = RegistryFile(path).Load(root);
    EXPECT_EQ(error, path.string() + ": line 4: a string without its closing double quote");
    EXPECT_EQ(platform::LastRegistryError(), error);

    EXPECT_EQ(RegistryFile(folder).Load(root), folder.string() + ": " + std::strerror(EISDIR));
}

// Values of other types that export files hold are written back as they stood, digits and
// continued lines alike; only strings are values to the plug-in.
TEST_F(RegistryFileTest, EditKeepsValuesOfOtherTypesAsTheyStood) {
    const std::string text =
        "REGEDIT4\n\n[A]\n@=dword:0000002A\n\"Blob\"=hex:00,ff,\\\n  10,2\n\"Empty\"=hex:\n"
        "\"Name\"=\"x\"\n\"Path\"=hex(2):25,00,\\\n\t48,00 ,00,00\n\n";
    WriteText(path, text);
    ASSERT_EQ(RegistryFile(path).Edit([](RegistryKey& root) {
        RegistryKey& a = root.Create("A");
        EXPECT_EQ(a.Default(), std::nullopt);
        EXPECT_EQ(a.Value("Blob"), std::nullopt);
        a.SetValue("Name", "x");
        return true;
    }),
              "");
    EXPECT_EQ(ReadText(path), text);
}

TEST_F(RegistryFileTest, EditCreatesTheFolderAndTheFile) {
    const fs::path deep = folder / "a" / "b" / "registry.reg";
    RegistryFile file(deep);
    ASSERT_EQ(file.Edit([](RegistryKey& root) {
        root.Create("K").SetValue("n", "1");
        return true;
    }),
              "");
    ASSERT_EQ(file.Edit([](RegistryKey& root) {
        root.Create("K\\Sub");
        return true;
    }),
              "");

    RegistryKey expected;
    expected.Create("K").SetValue("n", "1");
    expected.Create("K\\Sub");
    EXPECT_EQ(ReadText(deep), FormatRegistry(expected));
    EXPECT_EQ(platform::LastRegistryError(), "");
}

TEST_F(RegistryFileTest, EditWritesNothingWhenTheChangeDeclines) {
    RegistryFile file(path);
    EXPECT_EQ(file.Edit([](RegistryKey& root) {
        root.Create("K");
        return false;
    }),
              "");
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(RegistryFileTest, EditNeverOverwritesAMalformedFile) {
    const std::string text = "REGEDIT4\n\n[K]\ngarbage\n";
    WriteText(path, text);
    bool called = false;
    const std::string error = RegistryFile(path).Edit([&](RegistryKey&) {
        called = true;
        return true;
    });
    EXPECT_EQ(error, path.string() + ": line 4: neither a key nor a value");
    EXPECT_EQ(platform::LastRegistryError(), error);
    EXPECT_FALSE(called);
    EXPECT_EQ(ReadText(path), text);
}

// Lowers the file size limit with SIGXFSZ ignored, so that writes past it fail with EFBIG
// (for root too), and puts both back afterwards.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    void (*previous_)(int) = SIG_DFL;
};

TEST_F(RegistryFileTest, AFailedSaveLeavesTheOldFileAndNoTemporaryFile) {
    RegistryFile file(path);
    RegistryKey small;
    small.Create("Old").SetDefault("kept");
    ASSERT_EQ(file.Save(small), "");
    const std::string before = ReadText(path);

    RegistryKey big;
    big.Create("New").SetDefault(std::string(8192, 'x'));
    std::string error;
    {
        FileSizeLimit limit(1024);
        error = file.Save(big);
    }
    EXPECT_EQ(error, path.string() + ": " + std::strerror(EFBIG));
    EXPECT_EQ(platform::LastRegistryError(), error);
    EXPECT_EQ(ReadText(path), before);
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"registry.reg"});
}

TEST_F(RegistryFileTest, ConcurrentEditsKeepEachOthersKeys) {
    auto addKeys = [this](const std::string& prefix) {
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(RegistryFile(path).Edit([&](RegistryKey& root) {
                root.Create(prefix + std::to_string(i));
                return true;
            }),
                      "");
        }
    };
    std::thread first(addKeys, "a");
    std::thread second(addKeys, "b");
    first.join();
    second.join();
    RegistryKey root;
    ASSERT_EQ(RegistryFile(path).Load(root), "");
    EXPECT_EQ(root.Subkeys().size(), 20u);
}

// ---- Where the file is -------------------------------------------------------------------------

// Sets environment variables for one test and puts the old values back afterwards.
class Environment {
public:
    ~Environment() {
        for (const auto& [name, value] : saved_) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }
    void Set(const std::string& name, const char* value) {
        if (!saved_.count(name)) {
            const char* old = std::getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value) {
            setenv(name.c_str(), value, 1);
        } else {
            unsetenv(name.c_str());
        }
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

struct PathCase {
    const char* registry;
    const char* dataHome;
    const char* expected;
};

class DefaultPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(DefaultPathTest, FollowsTheEnvironmentInOrder) {
    Environment environment;
    environment.Set("HOME", "/home/u");
    environment.Set("VIREO_REGISTRY", GetParam().registry);
    environment.Set("XDG_DATA_HOME", GetParam().dataHome);
    EXPECT_EQ(RegistryFile::DefaultPath(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Variables, DefaultPathTest,
    ::testing::Values(PathCase{"/r/x.reg", "/data", "/r/x.reg"},
                      PathCase{"", "/data", "/data/vireo/registry.reg"},
                      PathCase{nullptr, "/data", "/data/vireo/registry.reg"},
                      PathCase{nullptr, "relative", "/home/u/.local/share/vireo/registry.reg"},
                      PathCase{nullptr, "", "/home/u/.local/share/vireo/registry.reg"},
                      PathCase{nullptr, nullptr, "/home/u/.local/share/vireo/registry.reg"}));

}  // namespace
