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
    DownloadWriter(const NodeLink& link, platform::Desktop& desktop, DownloadResult& result,
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
            Count(selected && link_.Write(nv::kPluginCnf, buffer.data(), length));
            if (!SelectPartChecked(link_, desktop_, 0)) {
                ++result_.writeErrors;
            }
            Report(PartProgressText(label.part), label.offset);
        } else if (Slot& slot = slots_[static_cast<std::size_t>(variable.index - kFirstSingle)];
                   slot.written) {
            slot.repeat = image;  // its last value goes once the file is read
        } else {
            slot.written = true;
            Count(link_.Write(variable.index, buffer.data(), length));
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
            Count(link_.Write(index, buffer.data(), static_cast<int>(slots_[i].repeat->size())));
            Report(std::string(nv::Find(index)->fileName), fileSize_);
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

    void Count(bool written) {
        if (written) {
            ++result_.writtenVariables;
        } else {
            ++result_.writeErrors;
        }
    }

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
    DownloadResult& result_;
    std::uint64_t fileSize_;
    std::string programId_;
    std::array<Slot, nv::kCalcValve2 - nv::kTemp1PlugIn + 1> slots_{};
};

}  // namespace

DownloadResult DownloadOperation::Run(const std::string& password,
                                      const std::string& initialFileName) {
    const node::RecordedOperation operation("Download from file");
    DownloadResult result;
    auto show = [this, &result](std::string_view text, std::string_view caption) {
        result.message = text;
        desktop_.MessageBox(result.message, std::string(caption), platform::MessageButtons::Ok,
                            platform::MessageIcon::None);
    };

    if (!IsServicePassword(password)) {
        show(kDownloadWrongPassword, kDownloadStatusCaption);
        return result;
    }
    result.passwordAccepted = true;
    result.clearPassword = true;

    result.path = desktop_.OpenFileDialog(SettingsFileRequest(initialFileName));
    if (!result.path) {
        return result;
    }

    // Opened for reading only: a read-only file downloads like any other.
    std::string text;
    if (!ReadSettingsFile(*result.path, text).empty()) {
        show(kFileNotFound, "");
        return result;
    }
    std::istringstream in(text);
    const std::uint64_t size = text.size();

    const auto answer =
        desktop_.MessageBox(std::string(kDownloadQuestion), std::string(kDownloadCaption),
                            platform::MessageButtons::YesNo, platform::MessageIcon::None);
    if (answer != platform::MessageAnswer::Yes) {
        show(kDownloadAborted, kDownloadStatusCaption);
        return result;
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

    if (result.writeErrors > 0) {
        show(std::string(kDownloadWriteErrors) + FormatCount(result.writeErrors) +
                 std::string(kWriteErrorsSuffix),
             kDownloadStatusCaption);
    } else if (!result.accepted || result.refusedBlocks > 0) {
        show(kDownloadNotCompleted, kDownloadStatusCaption);
    } else {
        result.completed = true;
        show(kDownloadCompleted, kDownloadStatusCaption);
    }
    return result;
}

}  // namespace settings
