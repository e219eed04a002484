// Robustness of the download against damaged and random files: thousands of generated files
// (fixed seed) never crash it, never make it select a part beyond 12, and never make it write
// a variable that the file does not name.

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "TestFiles.h"
#include "framework/ScriptedDesktop.h"
#include "host/ClientSite.h"
#include "settings/DownloadOperation.h"
#include "settings/FactoryDefaults.h"
#include "settings/SettingsFile.h"
#include "sim/SimNode.h"

namespace settings_test {
namespace {

const std::vector<std::string> kFragments = {
    "- 90 56 69 72 65 6F 4B 2A",
    "- 90 56 69 72 65 6F 4B 2B",
    "- 90 56 69 72 65 6F 4B 2",
    "-",
    "* nciTemp1PlugIn    (36) - SNVT_str_int            ",
    "* nciTemp2PlugIn (37)",
    "* nciSwitchExt1     (38) - SNVT_count             ",
    "* nciSwitchExt2 ",
    "* nciTimePump3     (40) - SNVT_time_sec             ",
    "* nciCalcValve1 x",
    "* nciCalcValve2 y",
    "* nviPluginCnf     (44) - SNVT_str_int     ** Part 1  ",
    "* nviPluginCnf ",
    "*nviPluginCnf ",
    "*",
    "* ",
    "2, 64336, 2000, 0, 0, 0, 7000, 3500, 0, 0, 0, 500, 3300, 500, 7000, 5500",
    "1, 2, 3",
    "-1e308, 1e308, nan, inf, -0, 99999999999, -99999999999, 7, 7, 7, 7, 7, 7, 7, 7, 7",
    "4, 0, 0, -56",
    "255",
    "300.0",
    "",
    "   ",
    ",,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,",
    std::string(200, '9'),
    std::string(120, '*'),
    std::string("\0\0\0", 3),
    "\r",
};

std::string BaseFile() {
    settings::SettingsFile::Contents contents;
    contents.programId = "90 56 69 72 65 6F 4B 2A";
    contents.nodeName = "Boiler1";
    const auto blocks = settings::SettingsFile::Blocks();
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (blocks[i].part != 0) {
            const auto image = settings::FactoryPartImage(blocks[i].part);
            contents.values[i].emplace(image.begin(), image.end());
        } else {
            contents.values[i] = settings::FactoryVariableImage(blocks[i].hostIndex);
        }
    }
    return settings::SettingsFile::ToDiskText(settings::SettingsFile::Compose(contents));
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The names the file's label lines give: "*", any character, the name, a space.
std::set<std::string, std::less<>> NamedVariables(const std::string& text) {
    std::set<std::string, std::less<>> names;
    for (const std::string& line : SplitLines(text)) {
        const std::size_t space = line.find(' ', 3);
        if (line.size() > 2 && line[0] == '*' && space != std::string::npos) {
            names.insert(line.substr(2, space - 2));
        }
    }
    return names;
}

std::string Generate(std::mt19937& random, const std::string& base) {
    auto pick = [&random](std::size_t n) {
        return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    std::string text;
    switch (random() % 4) {
        case 0: {  // random bytes, biased toward the characters that mean something
            const std::string alphabet = "*- ,\r\n0123456789.enciPlugCfTmp";
            const std::size_t length = pick(600);
            for (std::size_t i = 0; i < length; ++i) {
                text += (random() % 3 == 0) ? static_cast<char>(random())
                                            : alphabet[pick(alphabet.size())];
            }
            break;
        }
        case 1: {  // lines from fragments
            const std::size_t count = pick(60);
            for (std::size_t i = 0; i < count; ++i) {
                text += kFragments[pick(kFragments.size())];
                text += (random() % 2 == 0) ? "\r\n" : "\n";
            }
            break;
        }
        default: {  // a good file, damaged
            std::vector<std::string> lines = SplitLines(base);
            const int mutations = 1 + static_cast<int>(pick(8));
            for (int m = 0; m < mutations && !lines.empty(); ++m) {
                std::string& line = lines[pick(lines.size())];
                switch (random() % 7) {
                    case 0:
                        if (!line.empty()) {
                            line[pick(line.size())] = static_cast<char>(random());
                        }
                        break;
                    case 1:
                        lines.erase(lines.begin() +
                                    static_cast<std::ptrdiff_t>(pick(lines.size())));
                        break;
                    case 2:
                        lines.insert(
                            lines.begin() + static_cast<std::ptrdiff_t>(pick(lines.size())), line);
                        break;
                    case 3:
                        lines.insert(
                            lines.begin() + static_cast<std::ptrdiff_t>(pick(lines.size())),
                            kFragments[pick(kFragments.size())]);
                        break;
                    case 4:
                        line.resize(pick(line.size() + 1));
                        break;
                    case 5:
                        line += std::string(pick(300), static_cast<char>('0' + random() % 10));
                        break;
                    default:
                        std::swap(line, lines[pick(lines.size())]);
                        break;
                }
            }
            for (const std::string& line : lines) {
                text += line + "\n";
            }
            if (random() % 4 == 0) {
                text.resize(pick(text.size() + 1));
            }
            break;
        }
    }
    return text;
}

TEST(SettingsFuzz, DamagedFilesNeverCrashSelectBeyondTwelveOrWriteUnnamedVariables) {
    const std::filesystem::path dir = FreshDirectory();
    const std::string base = BaseFile();
    std::mt19937 random(20261206);
    int completed = 0;
    int withWrites = 0;

    for (int round = 0; round < 3000; ++round) {
        const std::string text = Generate(random, base);
        // A new file each round: rewriting one file makes the file system flush it every time.
        const std::filesystem::path path = dir / ("fuzz" + std::to_string(round) + ".txt");
        WriteBytes(path, text);
        host::SimNode node;
        node.StartRecording();
        platform::ScriptedDesktop desktop;
        desktop.QueueFile(path.string());
        for (int i = 0; i < 4; ++i) {
            desktop.QueueAnswer(random() % 4 != 0);
        }
        if (random() % 8 == 0) {
            node.FailWrite(nv::kTemp1PlugIn + static_cast<int>(random() % 9));
        }

        const auto result =
            settings::DownloadOperation(host::SimLink(node).Link(), desktop).Run("Quorka", "");

        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_LE(node.Recorded().MaxSelection(), nv::kPartCount);
        int partWrites = 0;
        const auto named = NamedVariables(text);
        for (const auto& write : node.Recorded().ConfigurationWrites()) {
            const nv::Variable* variable = nv::Find(write.index);
            ASSERT_NE(variable, nullptr);
            ASSERT_FALSE(variable->fileName.empty()) << "NV " << write.index;
            ASSERT_TRUE(named.count(variable->fileName) != 0)
                << "NV " << write.index << " written, but the file does not name it";
            ASSERT_EQ(static_cast<int>(write.bytes.size()),
                      settings::ImageSize(variable->fileKind));
            if (write.index == nv::kPluginCnf) {
                ++partWrites;
                ASSERT_GE(write.selectedPart, 1);
                ASSERT_LE(write.selectedPart, nv::kPartCount);
            }
        }
        ASSERT_LE(partWrites, nv::kPartCount);
        ASSERT_FALSE(desktop.Messages().empty());
        if (result.Completed()) {
            ASSERT_EQ(desktop.Messages().back().text, "Download completed");
            ASSERT_EQ(result.writeErrors, 0);
            ++completed;
        }
        if (!node.Recorded().ConfigurationWrites().empty()) {
            ++withWrites;
            ASSERT_EQ(node.Selector(), 0);
        }
    }
    std::filesystem::remove_all(dir);
    // The generator reaches both ends: files that download and files that are refused.
    EXPECT_GT(completed, 100);
    EXPECT_GT(withWrites, 300);
}

}  // namespace
}  // namespace settings_test
