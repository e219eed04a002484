// The settings-file reader on any bytes: it walks the whole input, reports labels in file
// order with values within the line limit, and every complete value line it reports parses
// and formats to a line that parses and formats to itself. The snapshot reader on the same bytes
// runs to its end.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "FuzzSupport.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsView.h"

namespace {

using settings::SettingsFile;

class CheckingVisitor final : public SettingsFile::Visitor {
public:
    explicit CheckingVisitor(std::uint64_t size) : size_(size) {}

    bool OnProgramId(std::string_view text) override {
        fuzz::Require(text.size() == settings::kProgramIdLength, "a Program ID has 23 characters");
        NextLine();
        // Most Program IDs are taken, some refused: the input decides.
        return static_cast<unsigned char>(text.back()) % 4 != 3;
    }
    void OnLabel(const SettingsFile::Label& label) override {
        NextLine();
        fuzz::Require(label.offset <= size_ && label.offset >= lastOffset_,
                      "labels come in file order within the file");
        lastOffset_ = label.offset;
        if (label.variable != nullptr) {
            fuzz::Require(SettingsFile::FindByName(label.name) == label.variable,
                          "a label's variable is the one its name names");
        }
        if (label.state == SettingsFile::ValueState::Present) {
            fuzz::Require(label.value.size() <= settings::kValueLineLimit,
                          "a value line is within its limit");
        }
        if (SettingsFile::Judge(label) == SettingsFile::Verdict::Write) {
            CheckValueRoundTrip(label.variable->fileKind, label.value);
        }
    }
    void OnSkippedLabel(std::string_view line) override { CheckLine(line); }
    void OnOtherLine(std::string_view line) override { CheckLine(line); }

private:
    void NextLine() {
        fuzz::Require(line > lastLine_, "lines are reported in order");
        lastLine_ = line;
    }
    static void CheckLine(std::string_view text) {
        fuzz::Require(text.size() <= settings::kValueLineLimit, "a line is within the limits");
    }
    // A value, once formatted, survives parsing and formatting again: the export writes what
    // a download of its own file writes back (nciTimePump3 drops the tenths a file may hold,
    // so the first parse need not survive).
    static void CheckValueRoundTrip(nv::FileKind kind, std::string_view value) {
        const auto bytes = settings::ParseValueLine(kind, value);
        fuzz::Require(static_cast<int>(bytes.size()) == settings::ImageSize(kind),
                      "a value line parses to the variable's image size");
        const std::string line = settings::FormatValueLine(kind, bytes.data());
        const std::string_view formatted = std::string_view(line).substr(0, line.size() - 2);
        fuzz::Require(settings::IsCompleteValueLine(kind, formatted),
                      "a formatted value line is complete");
        const auto again = settings::ParseValueLine(kind, formatted);
        fuzz::Require(settings::FormatValueLine(kind, again.data()) == line,
                      "a formatted value parses and formats to the same line");
    }

    std::uint64_t size_;
    std::uint64_t lastOffset_ = 0;
    std::uint64_t lastLine_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    {
        std::istringstream in(text);
        CheckingVisitor visitor(size);
        const auto result = SettingsFile::Read(in, visitor);
        fuzz::Require(!result.readFailed && result.bytesRead == size,
                      "the reader reads a whole stream");
    }
    std::istringstream in(text);
    const settings::FileSnapshot snapshot = settings::ReadFileSnapshot(in, size);
    for (std::size_t i = 0; i < snapshot.snapshot.blocks.size(); ++i) {
        const auto& block = snapshot.snapshot.blocks[i];
        fuzz::Require(!block || static_cast<int>(block->size()) ==
                                    settings::ImageSize(SettingsFile::Blocks()[i].kind),
                      "a snapshot block holds its variable's image");
    }
    return 0;
}
