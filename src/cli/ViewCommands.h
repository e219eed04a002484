#pragma once
// Seeing a settings file before it is written to a node: `vireo show`, `vireo diff` and
// `vireo download --dry-run`. Exit status as diff(1): 0 equal (or shown), 1 different,
// 2 trouble (an unreadable file or node state file, a node read that failed).

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include "link/LinkSettings.h"
#include "node/NodeAccess.h"

namespace host {

class SimNode;

inline constexpr int kViewEqual = 0;
inline constexpr int kViewDifferent = 1;
inline constexpr int kViewTrouble = 2;
// `node show` as every command but diff: 1 when the node or its state file cannot be read.
inline constexpr int kShowFailed = 1;

// The file as a table (variable, field, value with unit, bytes) with the lines the download
// would skip or refuse; as JSON with json.
int RunShowCommand(const std::string& file, bool json, std::ostream& out, std::ostream& err);

// Two settings files compared field by field.
int RunDiffFilesCommand(const std::string& fileA, const std::string& fileB, std::ostream& out,
                        std::ostream& err);

// The node of a state file (read as the export reads it, with its pauses and progress on err)
// compared with a settings file: the differences a download of the file would make. Nothing
// is written to the node.
struct NodeDiffOptions {
    std::string nodeFile;  // empty: the default state file
    std::string file;
    // Replaces the real pauses (tests and benchmarks record them instead).
    std::function<void(int)> sleep;
    std::optional<LinkSettings> link;  // a real node over a LON/IP channel instead
};
int RunDiffNodeCommand(const NodeDiffOptions& options, std::ostream& out, std::ostream& err);
// The same on a node already loaded, or reached over a link.
int DiffNodeWithFile(SimNode& node, const NodeDiffOptions& options, std::ostream& out,
                     std::ostream& err);
int DiffNodeWithFile(NodeAccess& node, const std::string& name, const NodeDiffOptions& options,
                     std::ostream& out, std::ostream& err);

// `vireo node show`: the simulated node's name, Program ID and configuration, decoded as `show`
// decodes a settings file.
int RunNodeShowCommand(const std::string& nodeFile, std::ostream& out, std::ostream& err);
// The same of a node over a link, read as the export reads it (pauses and progress on err).
int RunLinkedNodeShowCommand(const LinkSettings& link, std::ostream& out, std::ostream& err);

}  // namespace host
