#include "settings/SettingsView.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <span>
#include <sstream>

#include "codecs/HexBytes.h"
#include "framework/Desktop.h"
#include "node/FieldCatalogue.h"
#include "node/ProgramId.h"
#include "settings/ExportOperation.h"
#include "settings/SettingsSupport.h"
#include "settings/SettingsTexts.h"

namespace settings {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A field of one block, or bytes (mask 0) or bits (mask not 0) of a block that no field names.
struct Slot {
    std::size_t block = 0;
    int offset = 0;
    int size = 1;
    std::uint8_t mask = 0;             // the bits compared; 0 for whole bytes
    std::optional<node::Field> field;  // nothing for unnamed bytes or bits
    std::string variable;
    std::string name;
    bool exact = true;
};

// The image a value line gives back for an image: what a trip through the settings file
// leaves of it.
Bytes RoundTrip(nv::FileKind kind, const Bytes& image) {
    std::array<std::uint8_t, nv::kBufferSize> padded{};
    std::copy_n(image.begin(), std::min(image.size(), padded.size()), padded.begin());
    std::string line = FormatValueLine(kind, padded.data());
    line.resize(line.find('\n'));
    return ParseValueLine(kind, line);
}

// The bytes of a kind's image that some value does not survive the file with, found by sending
// probe values through it one byte at a time.
std::vector<bool> LossyBytes(nv::FileKind kind) {
    const int size = ImageSize(kind);
    std::vector<bool> lossy(static_cast<std::size_t>(size), false);
    for (int i = 0; i < size; ++i) {
        for (const std::uint8_t probe : {0x01, 0x05, 0x7F, 0x80, 0xFF}) {
            Bytes image(static_cast<std::size_t>(size), 0);
            image[static_cast<std::size_t>(i)] = probe;
            if (RoundTrip(kind, image) != image) {
                lossy[static_cast<std::size_t>(i)] = true;
            }
        }
    }
    return lossy;
}

node::Place PlaceOf(const FileBlock& block) {
    return block.part != 0 ? node::Part(block.part) : node::Variable(block.hostIndex);
}

std::string ByteRange(int first, int last) {
    return first == last ? "byte " + std::to_string(first)
                         : "bytes " + std::to_string(first) + "-" + std::to_string(last);
}

// The unnamed bytes and bits of a block, from which bits of each byte the fields name.
void AddUnnamed(std::size_t block, const std::vector<std::uint8_t>& named, const Slot& base,
                std::vector<Slot>& slots) {
    const int size = static_cast<int>(named.size());
    for (int i = 0; i < size;) {
        const std::uint8_t bits = named[static_cast<std::size_t>(i)];
        if (bits == 0xFF) {
            ++i;
            continue;
        }
        Slot slot = base;
        slot.block = block;
        slot.offset = i;
        if (bits != 0) {
            slot.mask = static_cast<std::uint8_t>(~bits);
            slot.name = "unnamed bits of byte " + std::to_string(i);
            ++i;
        } else {
            int last = i;
            while (last + 1 < size && named[static_cast<std::size_t>(last + 1)] == 0) {
                ++last;
            }
            slot.size = last - i + 1;
            slot.name = "unnamed " + ByteRange(i, last);
            i = last + 1;
        }
        slots.push_back(std::move(slot));
    }
}

bool SlotExact(const Slot& slot, const std::vector<bool>& lossy) {
    for (int i = slot.offset; i < slot.offset + slot.size; ++i) {
        if (lossy[static_cast<std::size_t>(i)]) {
            return false;
        }
    }
    return true;
}

// The slots of one block in byte order: its fields, then what they leave unnamed.
void AddBlockSlots(std::size_t index, std::vector<Slot>& slots) {
    const FileBlock& block = SettingsFile::Blocks()[index];
    const node::Place place = PlaceOf(block);
    const int size = ImageSize(block.kind);
    std::vector<std::uint8_t> named(static_cast<std::size_t>(size), 0);
    Slot base;
    base.block = index;
    base.variable = node::FileVariable(node::Field{"", place});
    std::vector<Slot> blockSlots;
    for (const node::CatalogueEntry& entry : node::FieldsAt(place)) {
        const node::Field& field = entry.field;
        if (field.offset + node::Size(field) > size) {
            continue;
        }
        Slot slot = base;
        slot.offset = field.offset;
        slot.size = node::Size(field);
        slot.mask = field.codec == node::Codec::Flag ? field.mask : 0;
        slot.field = field;
        slot.name = node::Label(entry);
        for (int i = slot.offset; i < slot.offset + slot.size; ++i) {
            named[static_cast<std::size_t>(i)] |= slot.mask != 0 ? slot.mask : 0xFF;
        }
        blockSlots.push_back(std::move(slot));
    }
    AddUnnamed(index, named, base, blockSlots);
    std::stable_sort(blockSlots.begin(), blockSlots.end(),
                     [](const Slot& a, const Slot& b) { return a.offset < b.offset; });
    const std::vector<bool> lossy = LossyBytes(block.kind);
    for (Slot& slot : blockSlots) {
        slot.exact = SlotExact(slot, lossy);
        slots.push_back(std::move(slot));
    }
}

// Every slot of the settings file, in file order; built once.
const std::vector<Slot>& Slots() {
    static const std::vector<Slot> kSlots = [] {
        std::vector<Slot> slots;
        for (std::size_t i = 0; i < SettingsFile::Blocks().size(); ++i) {
            AddBlockSlots(i, slots);
        }
        return slots;
    }();
    return kSlots;
}

std::uint8_t SlotByte(const Slot& slot, const Bytes& image, int i) {
    const std::uint8_t byte = image[static_cast<std::size_t>(slot.offset + i)];
    return slot.mask != 0 ? static_cast<std::uint8_t>(byte & slot.mask) : byte;
}

// The slot's bytes in hexadecimal; masked: only the bits the slot stands for.
std::string Hex(const Slot& slot, const Bytes& image, bool masked) {
    Bytes bytes;
    for (int i = 0; i < slot.size; ++i) {
        bytes.push_back(masked ? SlotByte(slot, image, i)
                               : image[static_cast<std::size_t>(slot.offset + i)]);
    }
    return codecs::HexBytes(bytes.data(), bytes.size());
}

std::string Value(const Slot& slot, const Bytes& image) {
    // Fields read at their offset from byte 0 of the image; the buffer gives them room.
    std::array<std::uint8_t, nv::kBufferSize> buffer{};
    std::copy_n(image.begin(), std::min(image.size(), buffer.size()), buffer.begin());
    return slot.field ? node::ValueText(*slot.field, buffer.data()) : Hex(slot, image, true);
}

bool SameBytes(const Slot& slot, const Bytes& a, const Bytes& b) {
    for (int i = 0; i < slot.size; ++i) {
        if (SlotByte(slot, a, i) != SlotByte(slot, b, i)) {
            return false;
        }
    }
    return true;
}

// Builds the snapshot of a file as the download would see it, noting what it skips or refuses.
class FileReader : public SettingsFile::Visitor {
public:
    explicit FileReader(FileSnapshot& out) : out_(out), ours_(GetProgramIdText()) {}

    bool OnProgramId(std::string_view text) override {
        sawProgramId_ = true;
        out_.snapshot.programId = text;
        if (text != ours_) {
            Note("Program ID " + std::string(text) + " is not the node kind's (" + ours_ +
                 "): the download asks before it writes the blocks that follow");
        }
        return true;
    }

    void OnSkippedLabel(std::string_view) override {
        Note("label before any Program ID line: skipped");
    }

    void OnOtherLine(std::string_view text) override {
        if (afterNameHeader_) {
            if (const auto name = SettingsFile::HeaderValue(text)) {
                out_.snapshot.nodeName = *name;
            }
        }
        afterNameHeader_ = SettingsFile::IsNodeNameHeader(text);
    }

    void OnLabel(const SettingsFile::Label& label) override {
        afterNameHeader_ = false;
        const std::string name(label.name);
        switch (SettingsFile::Judge(label)) {
            case SettingsFile::Verdict::Write:
                Store(label);
                break;
            case SettingsFile::Verdict::UnknownName:
                Note("unknown variable \"" + name + "\": skipped");
                break;
            case SettingsFile::Verdict::BeyondLastPart:
                Note(name + " part " + std::to_string(label.part) +
                     ": the node has 12 parts, refused");
                break;
            case SettingsFile::Verdict::NoValue:
                Note(name + ": no value line, nothing to write");
                break;
            case SettingsFile::Verdict::TooLong:
                Note(name + ": value line longer than " + std::to_string(kValueLineLimit) +
                     " characters, refused");
                break;
            case SettingsFile::Verdict::Incomplete:
                Note(name + ": value line without all its " +
                     std::to_string(FieldCount(label.variable->fileKind)) + " values, refused");
                break;
        }
    }

    bool SawProgramId() const { return sawProgramId_; }

private:
    void Note(std::string text) { out_.notes.push_back({line, std::move(text)}); }

    void Store(const SettingsFile::Label& label) {
        const auto blocks = SettingsFile::Blocks();
        const auto it = std::find_if(blocks.begin(), blocks.end(), [&](const FileBlock& b) {
            return b.hostIndex == label.variable->index && b.part == label.part;
        });
        const auto index = static_cast<std::size_t>(it - blocks.begin());
        if (lineOf_[index] != 0) {
            Note(node::FileVariable(node::Field{"", PlaceOf(*it)}) +
                 " again: replaces the value of line " + std::to_string(lineOf_[index]));
        }
        lineOf_[index] = line;
        out_.snapshot.blocks[index] = ParseValueLine(it->kind, label.value);
    }

    FileSnapshot& out_;
    std::string ours_;
    bool sawProgramId_ = false;
    bool afterNameHeader_ = false;
    std::array<std::uint64_t, SettingsFile::kBlockCount> lineOf_{};
};

}  // namespace

FileSnapshot ReadFileSnapshot(std::istream& in, std::uint64_t size) {
    FileSnapshot out;
    FileReader reader(out);
    const SettingsFile::ReadResult read = SettingsFile::Read(in, reader);
    out.programIdLine = reader.SawProgramId();
    if (!out.programIdLine) {
        out.notes.push_back({0, "no Program ID line: the download writes nothing"});
    }
    if (read.readFailed || read.bytesRead != size) {
        out.notes.push_back({0,
                             "the file could not be read to its end: the download refuses "
                             "what it held beyond"});
    }
    return out;
}

base::Result<FileSnapshot> ReadFileSnapshot(const std::string& path) {
    // Read as the download reads it.
    const base::Result<std::string> text = ReadSettingsFile(path);
    if (!text) {
        return text.Error();
    }
    std::istringstream in(*text);
    return ReadFileSnapshot(in, text->size());
}

Snapshot ReadNodeSnapshot(const NodeLink& link, platform::Desktop& desktop, int& readErrors) {
    NodeReading reading = ReadNodeConfiguration(link, desktop);
    readErrors = reading.readErrors;
    Snapshot snapshot;
    snapshot.programId = std::move(reading.contents.programId);
    snapshot.nodeName = std::move(reading.contents.nodeName);
    snapshot.blocks = std::move(reading.contents.values);
    snapshot.fromNode = true;
    return snapshot;
}

std::vector<FieldRow> DecodeRows(const Snapshot& snapshot) {
    std::vector<FieldRow> rows;
    rows.reserve(Slots().size());
    for (const Slot& slot : Slots()) {
        FieldRow row{slot.variable, slot.name, false, {}, {}, slot.exact};
        if (const auto& image = snapshot.blocks[slot.block]) {
            row.present = true;
            // Unnamed whole bytes have no value beyond their bytes.
            const bool wholeBytes = !slot.field && slot.mask == 0;
            row.value = wholeBytes ? std::string() : Value(slot, *image);
            row.raw = Hex(slot, *image, false);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

Comparison Compare(const Snapshot& a, const Snapshot& b) {
    // The node's side as the export would write it, for telling lost precision from a change.
    std::array<std::optional<Bytes>, SettingsFile::kBlockCount> exported;
    const Snapshot* node = a.fromNode != b.fromNode ? (a.fromNode ? &a : &b) : nullptr;
    if (node != nullptr) {
        for (std::size_t i = 0; i < exported.size(); ++i) {
            if (node->blocks[i]) {
                exported[i] = RoundTrip(SettingsFile::Blocks()[i].kind, *node->blocks[i]);
            }
        }
    }
    Comparison comparison;
    comparison.rows.reserve(Slots().size());
    for (const Slot& slot : Slots()) {
        const auto& imageA = a.blocks[slot.block];
        const auto& imageB = b.blocks[slot.block];
        ComparedRow row{slot.variable, slot.name, {}, {}, Difference::Equal, slot.exact};
        if (imageA) {
            row.valueA = Value(slot, *imageA);
        }
        if (imageB) {
            row.valueB = Value(slot, *imageB);
        }
        if (imageA.has_value() != imageB.has_value()) {
            row.difference = Difference::Different;
        } else if (imageA && !SameBytes(slot, *imageA, *imageB)) {
            const auto& file = node == &a ? imageB : imageA;
            const bool lostOnly = node != nullptr && exported[slot.block] &&
                                  SameBytes(slot, *exported[slot.block], *file);
            row.difference = lostOnly ? Difference::EqualInexact : Difference::Different;
        }
        comparison.differences += row.difference == Difference::Different ? 1 : 0;
        comparison.inexact += row.difference == Difference::EqualInexact ? 1 : 0;
        comparison.rows.push_back(std::move(row));
    }
    return comparison;
}

std::string_view DifferenceMark(Difference difference) {
    switch (difference) {
        case Difference::Different:
            return "*";
        case Difference::EqualInexact:
            return "~";
        case Difference::Equal:
            break;
    }
    return "";
}

std::string ComparisonSummary(const Comparison& comparison) {
    std::string text = comparison.differences == 0 ? std::string("No differences")
                       : comparison.differences == 1
                           ? std::string("1 difference")
                           : std::to_string(comparison.differences) + " differences";
    if (comparison.inexact > 0) {
        text += " (" + std::to_string(comparison.inexact) +
                " ~ equal but for what the settings file cannot carry)";
    }
    return text;
}

NodeComparison CompareWithNode(const NodeLink& link, platform::Desktop& desktop,
                               const std::string& initialFileName) {
    NodeComparison result;
    result.path = desktop.OpenFileDialog(SettingsFileRequest(initialFileName));
    if (!result.path) {
        return result;
    }
    const base::Result<FileSnapshot> file = ReadFileSnapshot(*result.path);
    if (!file) {
        result.message = std::string(kCompareUnreadable) + *result.path;
        desktop.MessageBox(result.message, std::string(kCompareCaption),
                           platform::MessageButtons::Ok, platform::MessageIcon::None);
        return result;
    }
    const Snapshot node = ReadNodeSnapshot(link, desktop, result.readErrors);
    result.comparison = Compare(node, file->snapshot);
    result.compared = true;
    return result;
}

}  // namespace settings
