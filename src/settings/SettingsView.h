#pragma once
// Seeing a configuration before writing it: a snapshot of the 19 blocks of the settings file,
// read from a file exactly as the download reads it (with every line the download would skip or
// refuse, and why) or from the node exactly as the export reads it; its values named, decoded
// and given their units through the node field declarations; and two snapshots compared field
// by field. Plain C++, no Qt.

#include <array>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Result.h"
#include "node/NodeLink.h"
#include "settings/SettingsFile.h"

namespace platform {
class Desktop;
}

namespace settings {

// A configuration as the settings file carries it.
struct Snapshot {
    std::string programId;
    std::string nodeName;
    // The byte image of each block in file order (ImageSize bytes); nothing when the file holds
    // no value for it or the node's read failed.
    std::array<std::optional<std::vector<std::uint8_t>>, SettingsFile::kBlockCount> blocks;
    // Read from the node: its bytes have not been through a settings file yet.
    bool fromNode = false;
};

// A line of a settings file that the download would skip or refuse, or a fact about the file
// that changes what the download does (line 0 for the file as a whole).
struct LineNote {
    std::uint64_t line = 0;
    std::string text;
};

struct FileSnapshot {
    bool programIdLine = false;  // the file has a Program ID line (without one nothing is taken)
    Snapshot snapshot;
    std::vector<LineNote> notes;
};

// Reads a settings file as the download does. A Program ID other than the node kind's is taken,
// as the download takes it when the user answers Yes, and noted.
// Nothing but the reason when it is no regular file or cannot be read.
base::Result<FileSnapshot> ReadFileSnapshot(const std::string& path);
// The same on a stream of size bytes (a stream that ends early is noted).
FileSnapshot ReadFileSnapshot(std::istream& in, std::uint64_t size);

// Reads the node as the export does: same reads, part selections, pauses and progress.
Snapshot ReadNodeSnapshot(const NodeLink& link, platform::Desktop& desktop, int& readErrors);

// One node field that the settings file carries, or bytes (or bits of a flag byte) that no
// field names, decoded from a snapshot.
struct FieldRow {
    std::string variable;  // the settings-file variable: "nviPluginCnf part 3"
    std::string name;      // the field's name as the pages label it
    bool present = false;  // the snapshot holds the block
    // As the page shows it, with its unit; empty when not present, and for unnamed whole bytes
    // (raw holds them).
    std::string value;
    std::string raw;  // the field's bytes in hexadecimal: "0B B8"
    // Whether every value of these bytes survives the settings file; nciTimePump3 keeps only
    // whole seconds.
    bool exact = true;
};

std::vector<FieldRow> DecodeRows(const Snapshot& snapshot);

enum class Difference {
    Equal,
    // Different bytes, but only by what the settings file cannot carry: the node's value
    // exported to a file would give the file's.
    EqualInexact,
    Different,
};

struct ComparedRow {
    std::string variable;
    std::string name;
    std::string valueA;  // empty when A does not hold the block
    std::string valueB;
    Difference difference = Difference::Equal;
    bool exact = true;
};

struct Comparison {
    std::vector<ComparedRow> rows;  // every field, in file order
    int differences = 0;
    int inexact = 0;
};

Comparison Compare(const Snapshot& a, const Snapshot& b);

// "*" for a difference, "~" for equal but for what the settings file cannot carry, else "".
std::string_view DifferenceMark(Difference difference);
// "No differences", "1 difference", "3 differences (1 ~ equal but for what the settings file
// cannot carry)".
std::string ComparisonSummary(const Comparison& comparison);

// "Compare with node..." on the Import / Export page: asks for a settings file with the
// download's open dialog, reads it as the download would, then reads the node as the export
// does. A file that cannot be read is reported in a message box and the node is not touched.
struct NodeComparison {
    std::optional<std::string> path;  // nothing when the dialog was cancelled
    bool compared = false;            // both read; comparison holds the result
    Comparison comparison;
    int readErrors = 0;
    std::string message;  // the message shown; empty when none was shown
};
NodeComparison CompareWithNode(const NodeLink& link, platform::Desktop& desktop,
                               const std::string& initialFileName);

}  // namespace settings
