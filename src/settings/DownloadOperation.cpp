#include "settings/DownloadOperation.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <sstream>

#include "framework/Desktop.h"
#include "node/NodeVariableMap.h"
#include "node/ProgramId.h"
#include "node/WriteRecorder.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsSupport.h"
#include "settings/SettingsTexts.h"

namespace settings {
namespace {

constexpr int kProgressScale = 1000;

// Writes each accepted block to the node as soon as the reader reports it.
class DownloadWriter : public SettingsFile::Visitor {
public:
    DownloadWriter(const NodeLink& link, platform::Desktop& desktop, OperationReport& result,
                   std::uint64_t fileSize)
        : link_(link),
          desktop_(desktop),
          window_(link, desktop, kPartPauseMs),
          result_(result),
          fileSize_(fileSize),
          programId_(GetProgramIdText()) {}

    bool OnProgramId(std::string_view text) override {
        if (text == programId_) {
            return true;
        }
        const auto answer =
            desktop_.MessageBox(std::string(kProgramIdQuestion), std::string(kProgramIdCaption),
                                platform::MessageButtons::YesNo, platform::MessageIcon::None);
        return answer == platform::MessageAnswer::Yes;
    }

    void OnLabel(const SettingsFile::Label& label) override {
        switch (SettingsFile::Judge(label)) {
            case SettingsFile::Verdict::Write:
                break;
            case SettingsFile::Verdict::UnknownName:
                return;  // its value line is consumed, nothing is written
            case SettingsFile::Verdict::NoValue:
                ++result_.missingValues;
                return;
            case SettingsFile::Verdict::BeyondLastPart:
            case SettingsFile::Verdict::TooLong:
            case SettingsFile::Verdict::Incomplete:
                ++result_.refusedBlocks;
                result_.items.push_back(
                    {std::string(label.name), label.part, ItemReport::Action::Refused});
                return;
        }
        const nv::Variable& variable = *label.variable;
        const bool isPart = variable.index == nv::kPluginCnf;
        const std::vector<std::uint8_t> image = ParseValueLine(variable.fileKind, label.value);
        std::array<std::uint8_t, nv::kBufferSize> buffer{};
        std::copy(image.begin(), image.end(), buffer.begin());
        const int length = static_cast<int>(image.size());

        if (isPart) {
            bool selected = true;
            if (window_.GetSelectedPart() != label.part) {
                selected = SelectPartChecked(link_, desktop_, label.part);
            }
            desktop_.Sleep(kPartPauseMs);
            // Without the selection NV 45 may show another part: nothing is written to it.
            result_.CountWrite(variable.fileName, label.part,
                               selected && link_.Write(nv::kPluginCnf, buffer.data(), length));
            if (!SelectPartChecked(link_, desktop_, 0)) {
                ++result_.writeErrors;
            }
            Report(PartProgressText(label.part), label.offset);
        } else if (Slot& slot = slots_[static_cast<std::size_t>(variable.index - kFirstSingle)];
                   slot.written) {
            slot.repeat = image;  // its last value goes once the file is read
        } else {
            slot.written = true;
            result_.CountWrite(variable.fileName, 0,
                               link_.Write(variable.index, buffer.data(), length));
            Report(std::string(variable.fileName), label.offset);
        }
    }

    // A block the file repeats is written again only once, with its last value, when the whole
    // file is read: the node ends as if every repeat were written, without a write (and a
    // flushed save of the node) per repeat.
    void WriteRepeats() {
        for (std::size_t i = 0; i < slots_.size(); ++i) {
            if (!slots_[i].repeat) {
                continue;
            }
            const int index = kFirstSingle + static_cast<int>(i);
            std::array<std::uint8_t, nv::kBufferSize> buffer{};
            std::copy(slots_[i].repeat->begin(), slots_[i].repeat->end(), buffer.begin());
            const nv::Variable& variable = *nv::Find(index);
            result_.CountWrite(
                variable.fileName, 0,
                link_.Write(index, buffer.data(), static_cast<int>(slots_[i].repeat->size())));
            Report(std::string(variable.fileName), fileSize_);
        }
    }

private:
    // The single variables of the file, NV 37 to 43: whether one was written, and the value
    // of its last repeat.
    static constexpr int kFirstSingle = nv::kTemp1PlugIn;
    struct Slot {
        bool written = false;
        std::optional<std::vector<std::uint8_t>> repeat;
    };

    void Report(const std::string& text, std::uint64_t offset) {
        int done = kProgressScale - 1;
        if (fileSize_ > 0 && offset < fileSize_) {
            done = static_cast<int>(offset * (kProgressScale - 1) / fileSize_);
        }
        desktop_.Progress(text, done, kProgressScale);
    }

    NodeLink link_;
    platform::Desktop& desktop_;
    PartWindow window_;
    OperationReport& result_;
    std::uint64_t fileSize_;
    std::string programId_;
    std::array<Slot, nv::kCalcValve2 - nv::kTemp1PlugIn + 1> slots_{};
};

}  // namespace

OperationReport DownloadOperation::Run(const std::string& password,
                                       const std::string& initialFileName) {
    const node::RecordedOperation operation("Download from file");
    OperationReport result(Operation::Download);
    auto end = [this, &result](Outcome outcome) {
        result.outcome = outcome;
        ShowClosingMessage(desktop_, result);
        return result;
    };

    if (!IsServicePassword(password)) {
        return end(Outcome::WrongPassword);
    }
    result.passwordAccepted = true;
    result.clearPassword = true;

    result.path = desktop_.OpenFileDialog(SettingsFileRequest(initialFileName));
    if (!result.path) {
        return result;
    }

    // Opened for reading only: a read-only file downloads like any other.
    const base::Result<std::string> text = ReadSettingsFile(*result.path);
    if (!text) {
        return end(Outcome::FileFailed);
    }
    std::istringstream in(*text);
    const std::uint64_t size = text->size();

    const auto answer =
        desktop_.MessageBox(std::string(kDownloadQuestion), std::string(kDownloadCaption),
                            platform::MessageButtons::YesNo, platform::MessageIcon::None);
    if (answer != platform::MessageAnswer::Yes) {
        return end(Outcome::Declined);
    }
    result.confirmed = true;

    const node::RecordedRun run("Download from file", *result.path);
    const OperationHold hold(link_);
    DownloadWriter writer(link_, desktop_, result, size);
    const SettingsFile::ReadResult read = SettingsFile::Read(in, writer);
    writer.WriteRepeats();
    result.accepted = read.accepted;
    if (read.readFailed || read.bytesRead != size) {
        ++result.refusedBlocks;  // the file broke off: what it held beyond is lost
    }
    desktop_.Progress("", kProgressScale, kProgressScale);

    const bool clean = result.writeErrors == 0 && result.accepted && result.refusedBlocks == 0;
    return end(clean ? Outcome::Completed : Outcome::Partial);
}

}  // namespace settings
