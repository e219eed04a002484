#include "settings/SettingsFile.h"

#include <algorithm>
#include <climits>

#include "framework/SafeFile.h"

namespace settings {
namespace {

// The exact label lines of the 19 blocks, spacing included.
constexpr std::array<FileBlock, SettingsFile::kBlockCount> kBlocks = {{
    {"* nciTemp1PlugIn    (36) - SNVT_str_int            \n", nv::kTemp1PlugIn, 0,
     nv::FileKind::StrInt},
    {"* nciTemp2PlugIn    (37) - SNVT_str_int            \n", nv::kTemp2PlugIn, 0,
     nv::FileKind::StrInt},
    {"* nciSwitchExt1     (38) - SNVT_count             \n", nv::kSwitchExt1, 0,
     nv::FileKind::Count},
    {"* nciSwitchExt2    (39) - SNVT_count             \n", nv::kSwitchExt2, 0,
     nv::FileKind::Count},
    {"* nciTimePump3     (40) - SNVT_time_sec             \n", nv::kTimePump3, 0,
     nv::FileKind::TimeSec},
    {"* nciCalcValve1    (41) - SNVT_time_passed              \n", nv::kCalcValve1, 0,
     nv::FileKind::TimePassed},
    {"* nciCalcValve2    (42) - SNVT_time_passed        \n", nv::kCalcValve2, 0,
     nv::FileKind::TimePassed},
    {"* nviPluginCnf     (44) - SNVT_str_int     ** Part 1  \n", nv::kPluginCnf, 1,
     nv::FileKind::StrInt},
    {"* nviPluginCnf     (44) - SNVT_str_int     ** Part 2  \n", nv::kPluginCnf, 2,
     nv::FileKind::StrInt},
    {"* nviPluginCnf     (44) - SNVT_str_int     ** Part 3  \n", nv::kPluginCnf, 3,
     nv::FileKind::StrInt},
    {"* nviPluginCnf     (44) - SNVT_str_int     ** Part 4  \n", nv::kPluginCnf, 4,
     nv::FileKind::StrInt},
    {"* nviPluginCnf     (44) - SNVT_str_int     ** Part 5  \n", nv::kPluginCnf, 5,
     nv::FileKind::StrInt},
    {"* nviPluginCnf     (44) - SNVT_str_int     ** Part 6  \n", nv::kPluginCnf, 6,
     nv::FileKind::StrInt},
    {"* nviPluginCnf     (44) - SNVT_str_int     ** Part 7  \n", nv::kPluginCnf, 7,
     nv::FileKind::StrInt},
    {"* nviPluginCnf     (44) - SNVT_str_int     ** Part 8  \n", nv::kPluginCnf, 8,
     nv::FileKind::StrInt},
    {"* nviPluginCnf     (44) - SNVT_str_int     ** Part 9  \n", nv::kPluginCnf, 9,
     nv::FileKind::StrInt},
    {"* nviPluginCnf     (44) - SNVT_str_int     ** Part 10 \n", nv::kPluginCnf, 10,
     nv::FileKind::StrInt},
    {"* nviPluginCnf     (44) - SNVT_str_int     ** Part 11 \n", nv::kPluginCnf, 11,
     nv::FileKind::StrInt},
    {"* nviPluginCnf     (44) - SNVT_str_int     ** Part 12 \n", nv::kPluginCnf, 12,
     nv::FileKind::StrInt},
}};

// Header lines; rows 1, 2, 3, 5 and 7 are 44 characters with their line end.
constexpr std::string_view kSlashLine = "/////////////////////////////////////////  \n";
constexpr std::string_view kExportedFromLine = "/ Exported from                            \n";
constexpr std::string_view kProgramIdLine = "/ Program ID                               \n";
constexpr std::string_view kNodenameLine = "/ Nodename                                 \n";
constexpr std::string_view kTimestampLine = "/ Export timestamp                         \n";
constexpr std::string_view kDataSection = "\n\n/ Network variable data \n\n";
constexpr std::string_view kValuePrefix = "- ";
static_assert(kSlashLine.size() == 44 && kExportedFromLine.size() == 44 &&
              kProgramIdLine.size() == 44 && kNodenameLine.size() == 44 &&
              kTimestampLine.size() == 44);

constexpr std::size_t kNodeNameLimit = 20;

// The node name as it goes into its header line: at most 20 characters, and no line ends
// of its own, which would let the name end its line early and turn the rest into a line of
// another kind.
std::string NameLineText(std::string_view name) {
    std::string text(name.substr(0, std::min(name.size(), kNodeNameLimit)));
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::replace(text.begin(), text.end(), '\r', ' ');
    return text;
}

// Reads the stream line by line. A line is cut to the caller's limit; the rest of it up to
// the line end is dropped. A CR directly before the LF (or before the end of the file) is
// part of the line end.
class LineSource {
public:
    explicit LineSource(std::istream& in) : in_(in) {}

    // False at the end of the input.
    bool Next(std::size_t limit, std::string& line, bool& tooLong) {
        line.clear();
        std::size_t length = 0;
        bool any = false;
        bool lastWasCr = false;
        std::streambuf* buffer = in_.rdbuf();
        if (buffer == nullptr) {
            return false;
        }
        for (;;) {
            const auto c = buffer->sbumpc();
            if (c == std::char_traits<char>::eof()) {
                if (!any) {
                    return false;
                }
                break;
            }
            any = true;
            ++offset_;
            if (c == '\n') {
                break;
            }
            // One character beyond the limit is kept so that a CR of the line end can still be
            // told apart from a line that is really too long.
            if (line.size() <= limit) {
                line.push_back(static_cast<char>(c));
            }
            ++length;
            lastWasCr = c == '\r';
        }
        if (lastWasCr) {
            --length;
        }
        ++lines_;
        tooLong = length > limit;
        line.resize(std::min(length, limit));
        return true;
    }

    std::uint64_t Offset() const { return offset_; }
    std::uint64_t Lines() const { return lines_; }

private:
    std::istream& in_;
    std::uint64_t offset_ = 0;
    std::uint64_t lines_ = 0;
};

bool IsProgramIdLine(std::string_view line) {
    return !line.empty() && line[0] == '-' && line.size() == 2 + kProgramIdLength;
}

bool IsLabelLine(std::string_view line) {
    return !line.empty() && line[0] == '*';
}

// The name of a label line: from position 2 up to the first space at or after position 3;
// empty when there is no such space.
std::string_view LabelName(std::string_view line) {
    if (line.size() < 3) {
        return {};
    }
    const std::size_t space = line.find(' ', 3);
    if (space == std::string_view::npos) {
        return {};
    }
    return line.substr(2, space - 2);
}

bool IsBlank(std::string_view line) {
    return std::all_of(line.begin(), line.end(), [](char c) {
        return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
    });
}

}  // namespace

int ImageSize(nv::FileKind kind) {
    switch (kind) {
        case nv::FileKind::StrInt:
            return nv::kPartSize;
        case nv::FileKind::Count:
        case nv::FileKind::TimeSec:
            return 2;
        case nv::FileKind::TimePassed:
            return 4;
        case nv::FileKind::None:
            break;
    }
    return 0;
}

int FieldCount(nv::FileKind kind) {
    switch (kind) {
        case nv::FileKind::StrInt:
            return 16;
        case nv::FileKind::Count:
        case nv::FileKind::TimeSec:
            return 1;
        case nv::FileKind::TimePassed:
            return 4;
        case nv::FileKind::None:
            break;
    }
    return 0;
}

std::string FormatValueLine(nv::FileKind kind, const std::uint8_t* image) {
    const codecs::SettingsFileCodec codec;
    switch (kind) {
        case nv::FileKind::StrInt:
            return codec.FormatStrInt(image);
        case nv::FileKind::Count:
            return codec.FormatCount(image);
        case nv::FileKind::TimeSec:
            return codec.FormatTimeSec(image);
        case nv::FileKind::TimePassed:
            return codec.FormatTimePassed(image);
        case nv::FileKind::None:
            break;
    }
    return {};
}

std::vector<std::uint8_t> ParseValueLine(nv::FileKind kind, std::string_view line) {
    const codecs::SettingsFileCodec codec;
    std::vector<std::uint8_t> image(static_cast<std::size_t>(ImageSize(kind)));
    for (int i = 0; i < static_cast<int>(image.size()); ++i) {
        std::uint8_t byte = 0;
        switch (kind) {
            case nv::FileKind::StrInt:
                byte = codec.ParseStrIntByte(line, i);
                break;
            case nv::FileKind::Count:
                byte = codec.ParseCountByte(line, i);
                break;
            case nv::FileKind::TimeSec:
                byte = codec.ParseTimeSecByte(line, i);
                break;
            case nv::FileKind::TimePassed:
                byte = codec.ParseTimePassedByte(line, i);
                break;
            case nv::FileKind::None:
                break;
        }
        image[static_cast<std::size_t>(i)] = byte;
    }
    return image;
}

bool IsCompleteValueLine(nv::FileKind kind, std::string_view line) {
    const int fields = FieldCount(kind);
    if (fields == 0 || IsBlank(line)) {
        return false;
    }
    return codecs::SettingsFileCodec().HasFields(line, fields);
}

std::span<const FileBlock> SettingsFile::Blocks() {
    return kBlocks;
}

std::string SettingsFile::Compose(const Contents& contents) {
    const codecs::SettingsFileCodec codec;
    std::string text;
    text.reserve(2048);
    text += kSlashLine;
    text += kExportedFromLine;
    text += kProgramIdLine;
    text += kValuePrefix;
    text += contents.programId;
    text += '\n';
    text += kNodenameLine;
    text += kValuePrefix;
    text += NameLineText(contents.nodeName);
    text += '\n';
    text += kTimestampLine;
    text += kValuePrefix;
    text += codec.FormatExportDate(contents.clock.year, contents.clock.month, contents.clock.day);
    text += ' ';
    text +=
        codec.FormatExportTime(contents.clock.hour, contents.clock.minute, contents.clock.second);
    text += kDataSection;
    for (std::size_t i = 0; i < kBlocks.size(); ++i) {
        const FileBlock& block = kBlocks[i];
        text += block.label;
        const auto& value = contents.values[i];
        if (!value) {
            continue;
        }
        // The codec reads a full image; a shorter one is padded with zeros.
        std::array<std::uint8_t, nv::kBufferSize> image{};
        std::copy_n(value->begin(), std::min(value->size(), image.size()), image.begin());
        text += FormatValueLine(block.kind, image.data());
    }
    return text;
}

std::string SettingsFile::ToDiskText(std::string_view text) {
    std::string disk;
    disk.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n') {
            disk += '\r';
        }
        disk += c;
    }
    return disk;
}

// A careful editor's replacement: links followed, permissions and owner kept, a read-only
// file or anything but a regular file refused, the old file intact on every failure.
base::Result<void> SettingsFile::WriteAtomically(const std::string& path, std::string_view text) {
    if (path.empty()) {
        return base::Problem("no file name");
    }
    if (std::string problem = platform::ReplaceFile(path, ToDiskText(text)); !problem.empty()) {
        return base::Problem(std::move(problem));
    }
    return {};
}

const nv::Variable* SettingsFile::FindByName(std::string_view name) {
    if (name.empty()) {
        return nullptr;
    }
    for (const nv::Variable& variable : nv::FileVariables()) {
        if (variable.fileName == name) {
            return &variable;
        }
    }
    const nv::Variable* parts = nv::Find(nv::kPluginCnf);
    if (parts != nullptr && parts->fileName == name) {
        return parts;
    }
    return nullptr;
}

bool SettingsFile::IsNodeNameHeader(std::string_view line) {
    return line == kNodenameLine.substr(0, kNodenameLine.size() - 1);
}

std::optional<std::string_view> SettingsFile::HeaderValue(std::string_view line) {
    if (!line.starts_with(kValuePrefix)) {
        return std::nullopt;
    }
    return line.substr(kValuePrefix.size());
}

SettingsFile::Verdict SettingsFile::Judge(const Label& label) {
    if (label.variable == nullptr) {
        return Verdict::UnknownName;
    }
    if (label.variable->index == nv::kPluginCnf && label.part > nv::kPartCount) {
        return Verdict::BeyondLastPart;  // the node has twelve parts
    }
    switch (label.state) {
        case ValueState::Missing:
            return Verdict::NoValue;
        case ValueState::TooLong:
            return Verdict::TooLong;
        case ValueState::Present:
            break;
    }
    return IsCompleteValueLine(label.variable->fileKind, label.value) ? Verdict::Write
                                                                      : Verdict::Incomplete;
}

SettingsFile::ReadResult SettingsFile::Read(std::istream& in, Visitor& visitor) {
    ReadResult result;
    LineSource source(in);
    std::string line;
    std::string next;
    bool havePending = false;  // a label line read in place of a value line
    bool tooLong = false;
    int partCounter = 0;
    std::uint64_t pendingLine = 0;

    for (;;) {
        if (havePending) {
            line.swap(next);
            if (line.size() > kLineLimit) {
                line.resize(kLineLimit);
            }
        } else if (!source.Next(kLineLimit, line, tooLong)) {
            break;
        }

        visitor.line = havePending ? pendingLine : source.Lines();
        havePending = false;
        if (IsProgramIdLine(line)) {
            result.accepted =
                visitor.OnProgramId(std::string_view(line).substr(2, kProgramIdLength));
            continue;
        }
        if (!IsLabelLine(line)) {
            visitor.OnOtherLine(line);
            continue;
        }
        if (!result.accepted) {
            visitor.OnSkippedLabel(line);
            continue;
        }

        Label label{};
        label.name = LabelName(line);
        label.variable = FindByName(label.name);
        if (label.variable != nullptr && label.variable->index == nv::kPluginCnf &&
            partCounter < INT_MAX) {
            label.part = ++partCounter;
        }
        bool valueTooLong = false;
        if (!source.Next(kValueLineLimit, next, valueTooLong)) {
            label.state = ValueState::Missing;
        } else if (IsLabelLine(next)) {
            // A label without its value line (the export could not read the variable): the
            // next line is the following block's label.
            label.state = ValueState::Missing;
            havePending = true;
            pendingLine = source.Lines();
        } else if (valueTooLong) {
            label.state = ValueState::TooLong;
        } else {
            label.state = ValueState::Present;
            label.value = next;
        }
        label.offset = source.Offset();
        visitor.OnLabel(label);
    }
    result.readFailed = in.bad();
    result.bytesRead = source.Offset();
    return result;
}

}  // namespace settings
