#include "cli/ViewCommands.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <ostream>
#include <vector>

#include "cli/Commands.h"
#include "cli/TableRenderer.h"
#include "framework/QuoteText.h"
#include "framework/SafeFile.h"
#include "host/ClientSite.h"
#include "host/ConsoleDesktop.h"
#include "settings/SettingsView.h"
#include "sim/SimNode.h"

namespace host {
namespace {

constexpr std::string_view kInexactMark = "~";

void PrintNotes(std::ostream& out, const std::string& file,
                const std::vector<settings::LineNote>& notes) {
    if (notes.empty()) {
        out << "The download would take every block of " << file << ".\n";
        return;
    }
    out << "Lines of " << file << " the download would skip or refuse:\n";
    for (const settings::LineNote& note : notes) {
        out << "  " << (note.line == 0 ? std::string("file") : "line " + std::to_string(note.line))
            << ": " << note.text << '\n';
    }
}

// Reads a settings file, or says why it cannot.
bool ReadFile(const std::string& path, settings::FileSnapshot& read, std::ostream& err) {
    base::Result<settings::FileSnapshot> snapshot = settings::ReadFileSnapshot(path);
    if (!snapshot) {
        // A missing file needs no reason beyond its path; a refused one does.
        const std::string problem = snapshot.Error().Text();
        err << "vireo: cannot read the settings file " << path;
        if (!problem.empty() && problem != platform::ErrnoText(ENOENT)) {
            err << ": " << problem;
        }
        err << '\n';
        return false;
    }
    read = std::move(*snapshot);
    return true;
}

// The snapshot's fields as a table; a file's fields that cannot carry every value are marked.
void PrintFields(const settings::Snapshot& snapshot, bool markInexact, std::ostream& out) {
    TableRenderer table({{"variable"}, {"field"}, {"value"}, {"bytes"}});
    bool anyInexact = false;
    for (const settings::FieldRow& row : settings::DecodeRows(snapshot)) {
        std::string value = row.present ? row.value : "(not in the file)";
        if (markInexact && !row.exact) {
            // Appended piece by piece: GCC 12 at -O3 warns of an overlapping copy in
            // "literal + temporary" that cannot happen (-Wrestrict).
            value += ' ';
            value += kInexactMark;
            anyInexact = true;
        }
        table.AddRow({row.variable, row.name, value, row.raw});
    }
    table.Print(out);
    if (anyInexact) {
        out << kInexactMark
            << " the settings file does not carry every value of these bytes "
               "exactly\n";
    }
}

void PrintShowText(const std::string& file, const settings::FileSnapshot& read, std::ostream& out) {
    out << "Program ID: " << read.snapshot.programId << '\n';
    out << "Node name:  " << platform::PrintableText(read.snapshot.nodeName) << "\n\n";
    PrintFields(read.snapshot, true, out);
    out << '\n';
    PrintNotes(out, file, read.notes);
}

// The configuration the simulated node holds, block by block as a settings file carries it;
// read from its state, not through the node's protocol (no pauses).
settings::Snapshot NodeSnapshot(const SimNode& node) {
    settings::Snapshot snapshot;
    snapshot.programId = ProgramIdText(node.GetProgramId());
    snapshot.nodeName = node.Name();
    snapshot.fromNode = true;
    const auto blocks = settings::SettingsFile::Blocks();
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const settings::FileBlock& block = blocks[i];
        const auto size = static_cast<std::size_t>(settings::ImageSize(block.kind));
        std::vector<std::uint8_t> image(size, 0);
        if (block.part != 0) {
            const PartImage part = node.Part(block.part);
            std::copy_n(part.begin(), std::min(size, part.size()), image.begin());
        } else {
            const Bytes bytes = node.Raw(block.hostIndex);
            std::copy_n(bytes.begin(), std::min(size, bytes.size()), image.begin());
        }
        snapshot.blocks[i] = std::move(image);
    }
    return snapshot;
}

void PrintShowJson(const std::string& file, const settings::FileSnapshot& read, std::ostream& out) {
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const settings::FieldRow& row : settings::DecodeRows(read.snapshot)) {
        rows.push_back({{"variable", row.variable},
                        {"field", row.name},
                        {"value", row.present ? nlohmann::ordered_json(row.value) : nullptr},
                        {"bytes", row.raw},
                        {"exact", row.exact}});
    }
    nlohmann::ordered_json notes = nlohmann::ordered_json::array();
    for (const settings::LineNote& note : read.notes) {
        notes.push_back({{"line", note.line}, {"reason", note.text}});
    }
    const nlohmann::ordered_json document = {{"file", file},
                                             {"programId", read.snapshot.programId},
                                             {"nodeName", read.snapshot.nodeName},
                                             {"fields", rows},
                                             {"skippedLines", notes}};
    // Invalid UTF-8 from a damaged file is replaced, never a reason to fail.
    out << document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

// The rows that differ, with a line that counts them; the diff(1) status.
int PrintComparison(const settings::Comparison& comparison, const std::string& nameA,
                    const std::string& nameB, std::ostream& out) {
    TableRenderer table({{""}, {"variable"}, {"field"}, {nameA}, {nameB}});
    for (const settings::ComparedRow& row : comparison.rows) {
        if (row.difference != settings::Difference::Equal) {
            table.AddRow({std::string(settings::DifferenceMark(row.difference)), row.variable,
                          row.name, row.valueA.empty() ? "(none)" : row.valueA,
                          row.valueB.empty() ? "(none)" : row.valueB});
        }
    }
    if (table.HasRows()) {
        table.Print(out);
    }
    out << settings::ComparisonSummary(comparison) << '\n';
    return comparison.differences == 0 ? kViewEqual : kViewDifferent;
}

}  // namespace

int RunShowCommand(const std::string& file, bool json, std::ostream& out, std::ostream& err) {
    settings::FileSnapshot read;
    if (!ReadFile(file, read, err)) {
        return kViewTrouble;
    }
    if (json) {
        PrintShowJson(file, read, out);
    } else {
        PrintShowText(file, read, out);
    }
    return kViewEqual;
}

int RunDiffFilesCommand(const std::string& fileA, const std::string& fileB, std::ostream& out,
                        std::ostream& err) {
    settings::FileSnapshot a;
    settings::FileSnapshot b;
    if (!ReadFile(fileA, a, err) || !ReadFile(fileB, b, err)) {
        return kViewTrouble;
    }
    const int status =
        PrintComparison(settings::Compare(a.snapshot, b.snapshot), fileA, fileB, out);
    for (const auto* read : {&a, &b}) {
        if (!read->notes.empty()) {
            PrintNotes(out, read == &a ? fileA : fileB, read->notes);
        }
    }
    return status;
}

int DiffNodeWithFile(SimNode& node, const NodeDiffOptions& options, std::ostream& out,
                     std::ostream& err) {
    return DiffNodeWithFile(node, node.Name(), options, out, err);
}

int DiffNodeWithFile(NodeAccess& node, const std::string& name, const NodeDiffOptions& options,
                     std::ostream& out, std::ostream& err) {
    settings::FileSnapshot file;
    if (!ReadFile(options.file, file, err)) {
        return kViewTrouble;  // no node traffic for a file that cannot be read
    }
    const SimLink link(node);
    ConsoleDesktop desktop(options.file, false, err);
    desktop.sleep = options.sleep;
    int readErrors = 0;
    const settings::Snapshot fromNode =
        settings::ReadNodeSnapshot(link.Link(), desktop, readErrors);
    const int status = PrintComparison(settings::Compare(fromNode, file.snapshot),
                                       "node " + platform::PrintableText(name), options.file, out);
    if (!file.notes.empty()) {
        PrintNotes(out, options.file, file.notes);
    }
    if (readErrors > 0) {
        err << "vireo: " << readErrors << " node variables could not be read\n";
        return kViewTrouble;
    }
    return status;
}

int RunDiffNodeCommand(const NodeDiffOptions& options, std::ostream& out, std::ostream& err) {
    const CommandNode command = CommandNodeOf(options.nodeFile, options.link, false);
    OpenedNode opened;
    if (const std::optional<std::string> problem = OpenNode(command.target, command.open, opened)) {
        err << "vireo: " << *problem << '\n';
        return kViewTrouble;
    }
    const int status = DiffNodeWithFile(opened.Access(), opened.Name(), options, out, err);
    if (opened.Linked() != nullptr && status == kViewTrouble &&
        !opened.Linked()->LastError().empty()) {
        err << "vireo: " << opened.Linked()->LastError() << '\n';
    }
    return status;
}

int RunNodeShowCommand(const std::string& nodeFile, std::ostream& out, std::ostream& err) {
    OpenedNode opened;
    if (!OpenCommandNode(nodeFile, opened, err)) {
        return kShowFailed;
    }
    const std::string& path = opened.StateFile();
    std::error_code error;
    out << "State file: " << path
        << (std::filesystem::exists(path, error) ? "" : " (not made yet: the factory node)")
        << '\n';
    const settings::Snapshot snapshot = NodeSnapshot(*opened.Simulated());
    out << "Program ID: " << snapshot.programId << '\n';
    out << "Node name:  " << platform::PrintableText(snapshot.nodeName) << "\n\n";
    PrintFields(snapshot, false, out);
    return kViewEqual;
}

int RunLinkedNodeShowCommand(const LinkSettings& link, std::ostream& out, std::ostream& err) {
    const CommandNode command = CommandNodeOf({}, link, false);
    OpenedNode opened;
    if (const std::optional<std::string> problem = OpenNode(command.target, command.open, opened)) {
        err << "vireo: " << *problem << '\n';
        return kShowFailed;
    }
    LonNode& node = *opened.Linked();
    const SimLink site(node);
    ConsoleDesktop desktop("", false, err);
    int readErrors = 0;
    settings::Snapshot snapshot = settings::ReadNodeSnapshot(site.Link(), desktop, readErrors);
    if (readErrors > 0) {
        err << "vireo: " << readErrors << " node variables could not be read"
            << (node.LastError().empty() ? "" : "; " + node.LastError()) << '\n';
        return kShowFailed;
    }
    out << "Node " << TargetText(link.node) << " at " << LinkUrl(link) << ", Neuron ID "
        << NeuronIdText(node.Identity().neuronId) << '\n';
    out << "Program ID: " << ProgramIdText(node.Identity().programId) << '\n';
    out << "Node name:  " << platform::PrintableText(node.Name()) << "\n\n";
    PrintFields(snapshot, false, out);
    return kViewEqual;
}

}  // namespace host
