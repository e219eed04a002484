#include "settings/ExportOperation.h"

#include <array>
#include <cstdint>
#include <cstdio>

#include "node/NodeVariableMap.h"
#include "node/ProgramId.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsSupport.h"
#include "settings/SettingsTexts.h"

namespace settings {
namespace {

// An existing file is one that can be opened for reading and writing.
bool ExistsForUpdate(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "r+b");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    return true;
}

}  // namespace

// The export asks the host for the node name with a 31-byte buffer, one short of the name's
// whole size.
constexpr int kExportNameBuffer = nv::kNodeNameSize - 1;

NodeReading ReadNodeConfiguration(const NodeLink& link, platform::Desktop& desktop) {
    const OperationHold hold(link);
    NodeReading reading;
    SettingsFile::Contents& contents = reading.contents;
    contents.nodeName = ReadNodeName(link, kExportNameBuffer).value_or("");
    contents.programId = GetProgramIdText();
    contents.clock = desktop.Now();

    const auto blocks = SettingsFile::Blocks();
    const int total = static_cast<int>(blocks.size());
    const PartWindow window(link, desktop, kPartPauseMs);
    for (int i = 0; i < total; ++i) {
        const FileBlock& block = blocks[static_cast<std::size_t>(i)];
        bool canRead = true;
        std::string progress;
        if (block.part != 0) {
            if (window.GetSelectedPart() != block.part) {
                // A failed selection would show another part under this part's label.
                canRead = SelectPartChecked(link, desktop, block.part);
            }
            desktop.Sleep(kPartPauseMs);
            progress = PartProgressText(block.part);
        } else {
            const nv::Variable* variable = nv::Find(block.hostIndex);
            progress = variable != nullptr ? std::string(variable->fileName) : std::string();
        }
        std::array<std::uint8_t, nv::kBufferSize> buffer{};
        const bool read = canRead && link.Read(block.hostIndex, buffer.data(), nv::kPartSize);
        if (read) {
            contents.values[static_cast<std::size_t>(i)].emplace(
                buffer.begin(), buffer.begin() + ImageSize(block.kind));
        } else {
            ++reading.readErrors;
        }
        const nv::Variable* variable = nv::Find(block.hostIndex);
        reading.items.push_back({variable != nullptr ? std::string(variable->fileName) : "",
                                 block.part,
                                 read ? ItemReport::Action::Read : ItemReport::Action::Failed});
        desktop.Progress(progress, i + 1, total);
    }
    return reading;
}

OperationReport ExportOperation::Run(const std::string& initialFileName) {
    OperationReport result(Operation::Export);
    auto end = [this, &result](Outcome outcome) {
        result.outcome = outcome;
        ShowClosingMessage(desktop_, result);
        return result;
    };

    result.path = desktop_.SaveFileDialog(SettingsFileRequest(initialFileName));
    if (!result.path) {
        return result;
    }
    const std::string& path = *result.path;

    if (ExistsForUpdate(path)) {
        const auto answer =
            desktop_.MessageBox(std::string(kOverwriteQuestion), std::string(kOverwriteCaption),
                                platform::MessageButtons::YesNo, platform::MessageIcon::None);
        if (answer != platform::MessageAnswer::Yes) {
            return end(Outcome::Declined);
        }
    }

    // Every read happens before the file is touched.
    const NodeReading reading = ReadNodeConfiguration(link_, desktop_);
    result.nodeName = reading.contents.nodeName;
    result.readErrors = reading.readErrors;
    result.items = reading.items;

    if (!SettingsFile::WriteAtomically(path, SettingsFile::Compose(reading.contents))) {
        return end(Outcome::FileFailed);
    }
    result.written = true;
    return end(result.readErrors == 0 ? Outcome::Completed : Outcome::Partial);
}

}  // namespace settings
