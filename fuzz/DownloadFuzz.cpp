// The download of any settings file into a simulated node at factory settings, answering Yes
// to every question. Whatever the file holds, the download never selects a part above 12,
// never writes NV 45 while the selector shows a part above 12, writes only variables the
// file's label lines name, each with its full image, and leaves the selector at 0 after
// writing.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "FuzzSupport.h"
#include "framework/ScriptedDesktop.h"
#include "host/ClientSite.h"
#include "settings/DownloadOperation.h"
#include "settings/SettingsFile.h"
#include "sim/SimNode.h"

namespace {

// The names the file's label lines give: a line that starts with "*", from its third
// character up to the first space at or after its fourth.
std::set<std::string, std::less<>> NamedVariables(const std::string& text) {
    std::set<std::string, std::less<>> names;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string_view line(text.data() + start, end - start);
        const std::size_t space = line.find(' ', 3);
        if (line.size() > 2 && line[0] == '*' && space != std::string_view::npos) {
            names.emplace(line.substr(2, space - 2));
        }
        start = end + 1;
    }
    return names;
}

void CheckWrites(const host::SimNode& node, const std::string& text) {
    const host::Journal& journal = node.Recorded();
    fuzz::Require(journal.MaxSelection() <= nv::kPartCount, "NV 44 never selects a part above 12");
    const auto named = NamedVariables(text);
    for (const auto& write : journal.ConfigurationWrites()) {
        const nv::Variable* variable = nv::Find(write.index);
        fuzz::Require(variable != nullptr && !variable->fileName.empty(),
                      "only variables of the settings file are written");
        fuzz::Require(named.count(variable->fileName) != 0,
                      "only variables the file names are written");
        fuzz::Require(
            static_cast<int>(write.bytes.size()) == settings::ImageSize(variable->fileKind),
            "a write carries the variable's whole image");
        if (write.index == nv::kPluginCnf) {
            fuzz::Require(
                write.selectedPart >= nv::kFirstPart && write.selectedPart <= nv::kPartCount,
                "NV 45 is written only while NV 44 shows a part 1 to 12");
        }
    }
    if (!journal.ConfigurationWrites().empty()) {
        fuzz::Require(node.Selector() == 0, "the selector is back at 0 after a download");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = fuzz::ScratchPath("download.txt");
    const std::string text(reinterpret_cast<const char*>(data), size);
    fuzz::WriteFile(path, text);

    host::SimNode node;
    node.StartRecording();
    platform::ScriptedDesktop desktop;
    desktop.QueueFile(path);
    for (int i = 0; i < 4; ++i) {
        desktop.QueueAnswer(true);
    }
    const auto result =
        settings::DownloadOperation(host::SimLink(node).Link(), desktop).Run("Quorka", "");
    fuzz::Require(result.passwordAccepted && result.path == path, "the download reaches the file");
    fuzz::Require(!desktop.Messages().empty(), "the download ends with a message");
    fuzz::Require(!result.Completed() || result.writeErrors == 0,
                  "a completed download had no write errors");
    CheckWrites(node, text);
    return 0;
}
