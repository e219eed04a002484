#pragma once
// The settings file: a text snapshot of the node's configuration, the seven single
// configuration variables (NV 37 to 43) and the twelve parts of nviPluginCnf (NV 45).
//
// Writer: a header (fixed lines, Program ID, node name, export time stamp), then 19 blocks in a
// fixed order, each a label line followed by its value line and an empty line; a block whose
// variable could not be read has its label line only. Built in memory with "\n" line ends and
// written to disk with CR LF.
//
// Reader: walks the file line by line and reports what it finds to a visitor. Only three kinds
// of line mean anything: Program ID lines ("-" and exactly 23 characters after the first two),
// label lines ("*"), and the value line that follows an accepted label line. Everything else is
// skipped.

#include <array>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Result.h"
#include "codecs/SettingsFileCodec.h"
#include "framework/DateTime.h"
#include "node/NodeVariableMap.h"

namespace settings {

// Line limits of the reader (characters, without the line end): a longer line is cut to
// the limit and the rest of it up to the line end is dropped.
inline constexpr std::size_t kLineLimit = 99;
inline constexpr std::size_t kValueLineLimit = 114;
// Length of the Program ID text after the first two characters of its line.
inline constexpr std::size_t kProgramIdLength = 23;

// One block of the file.
struct FileBlock {
    std::string_view label;  // the exact label line, with its line end
    int hostIndex;           // 37 to 43, or 45 for the parts
    int part;                // 1 to 12 for nviPluginCnf, 0 otherwise
    nv::FileKind kind;
};

// Bytes of a variable's image and fields of its value line, by kind (0 for FileKind::None).
int ImageSize(nv::FileKind kind);
int FieldCount(nv::FileKind kind);

// A value line from a byte image of ImageSize(kind) bytes; ends with "\n\n".
std::string FormatValueLine(nv::FileKind kind, const std::uint8_t* image);
// The byte image (ImageSize(kind) bytes) parsed from a value line. Missing fields parse as 0;
// callers that must not write guessed bytes check IsCompleteValueLine first.
std::vector<std::uint8_t> ParseValueLine(nv::FileKind kind, std::string_view line);
// Whether a value line holds every field of its kind; a blank line holds none.
bool IsCompleteValueLine(nv::FileKind kind, std::string_view line);

class SettingsFile {
public:
    static constexpr int kBlockCount = 19;

    // The 19 blocks in file order.
    static std::span<const FileBlock> Blocks();

    // ---- Writer ----

    struct Contents {
        std::string programId;  // the control's Program ID text
        std::string nodeName;   // at most 20 characters; empty when the read failed
        platform::DateTime clock;
        // The byte image of each block's variable in block order (at least ImageSize bytes);
        // nothing when its read failed.
        std::array<std::optional<std::vector<std::uint8_t>>, kBlockCount> values;
    };

    // The file's text with "\n" line ends.
    static std::string Compose(const Contents& contents);
    // The same text as it goes to disk: every "\n" becomes CR LF.
    static std::string ToDiskText(std::string_view text);
    // Writes text (with "\n" line ends) to path with CR LF line ends, atomically: a temporary
    // file beside path is written, flushed and checked, then renamed over path. On any
    // failure the temporary file is removed, path keeps its old content and false is returned.
    // An existing path that this process may not write counts as a failure.
    static base::Result<void> WriteAtomically(const std::string& path, std::string_view text);

    // ---- Reader ----

    enum class ValueState {
        Present,  // the line after the label
        Missing,  // end of file, or the next line is itself a label line
        TooLong,  // longer than kValueLineLimit: not part of the format
    };

    struct Label {
        std::string_view name;         // the name in the label, possibly empty
        const nv::Variable* variable;  // the variable of a known name, nullptr otherwise
        int part;                      // nviPluginCnf: 1, 2, 3, ... in file order; 0 otherwise
        ValueState state;
        std::string_view value;  // the value line when Present (without line end)
        std::uint64_t offset;    // bytes of the file consumed so far
    };

    class Visitor {
    public:
        virtual ~Visitor() = default;
        // A Program ID line; text is the 23 characters after its first two. The answer is the
        // new accepted flag; label lines are reported only while it is true.
        virtual bool OnProgramId(std::string_view text) = 0;
        // An accepted label line and its value line.
        virtual void OnLabel(const Label& label) = 0;
        // A label line read while the accepted flag is false: skipped.
        virtual void OnSkippedLabel(std::string_view /*line*/) {}
        // Any other line (header, comment, empty line, a value line of a skipped label).
        virtual void OnOtherLine(std::string_view /*line*/) {}

        // The number (from 1) of the line being reported: the Program ID or label line.
        std::uint64_t line = 0;
    };

    // Walks the whole stream. accepted is the final accepted flag (false for a file without a
    // Program ID line); bytesRead lets the caller tell a stream that broke off early from one
    // read to its end; readFailed is set when the stream reported an error.
    struct ReadResult {
        bool accepted = false;
        bool readFailed = false;
        std::uint64_t bytesRead = 0;
    };
    static ReadResult Read(std::istream& in, Visitor& visitor);

    // Whether a line is the header line that the node name line follows.
    static bool IsNodeNameHeader(std::string_view line);
    // The text of a header value line ("- Boiler1"); nothing for a line of another form.
    static std::optional<std::string_view> HeaderValue(std::string_view line);

    // What the download does with a reported label, in the order it decides.
    enum class Verdict {
        Write,           // a complete value line: written
        UnknownName,     // not a variable of the file: skipped
        BeyondLastPart,  // an nviPluginCnf block after the twelfth: refused
        NoValue,         // no value line: nothing to write, not an error
        TooLong,         // value line too long: refused
        Incomplete,      // value line without all its fields: refused
    };
    static Verdict Judge(const Label& label);

    // The variable a label name stands for: one of the seven single variables, or
    // nviPluginCnf (NV 45); nullptr for any other text.
    static const nv::Variable* FindByName(std::string_view name);
};

}  // namespace settings
