#include "history/HistoryText.h"

#include <cstdio>
#include <ctime>

#include "codecs/HexBytes.h"
#include "node/FieldCatalogue.h"
#include "node/NodeVariableMap.h"

namespace history {
namespace {

// "nciTemp1PlugIn", "nviPluginCnf part 3", "NV 25".
std::string PlaceName(const node::WriteEvent& write) {
    const nv::Variable* variable = nv::Find(write.nv);
    std::string name = variable != nullptr && !variable->fileName.empty()
                           ? std::string(variable->fileName)
                           : "NV " + std::to_string(write.nv);
    if (write.nv == nv::kPluginCnf) {
        name += write.part != 0 ? " part " + std::to_string(write.part) : " (part not known)";
    }
    return name;
}

std::string Hex(const node::Bytes& bytes) {
    return codecs::HexBytes(bytes.data(), bytes.size());
}

// The bits of each byte that the fields name.
std::vector<std::uint8_t> NamedBits(const std::vector<node::CatalogueEntry>& fields,
                                    std::size_t size) {
    std::vector<std::uint8_t> bits(size, 0);
    for (const auto& entry : fields) {
        const node::Field& f = entry.field;
        for (int i = 0; i < node::Size(f); ++i) {
            bits[static_cast<std::size_t>(f.offset + i)] |=
                f.codec == node::Codec::Flag ? f.mask : 0xFF;
        }
    }
    return bits;
}

bool Differs(const node::Bytes& a, const node::Bytes& b, std::size_t i, std::uint8_t bits) {
    return ((a[i] ^ b[i]) & bits) != 0;
}

}  // namespace

namespace {

// The declared fields of the written place that the bytes sent hold whole.
std::vector<node::CatalogueEntry> WrittenFields(const node::WriteEvent& write) {
    std::vector<node::CatalogueEntry> fields;
    if (write.nv == nv::kPluginCnf && write.part == 0) {
        return fields;  // which part was shown is not known
    }
    const node::Place place =
        write.nv == nv::kPluginCnf ? node::Part(write.part) : node::Variable(write.nv);
    for (const auto& entry : node::FieldsAt(place)) {
        if (entry.field.offset + node::Size(entry.field) <= static_cast<int>(write.bytes.size())) {
            fields.push_back(entry);
        }
    }
    return fields;
}

bool FieldChanged(const node::Field& f, const node::Bytes& before, const node::Bytes& after) {
    bool changed = false;
    for (int i = 0; i < node::Size(f); ++i) {
        const auto at = static_cast<std::size_t>(f.offset + i);
        changed |= Differs(before, after, at, f.codec == node::Codec::Flag ? f.mask : 0xFF);
    }
    return changed;
}

// "name: before -> after" for each changed field; every field's value when before is unknown.
void AddFieldLines(const std::vector<node::CatalogueEntry>& fields, const node::Bytes* before,
                   const node::Bytes& after, std::vector<std::string>& lines) {
    for (const auto& entry : fields) {
        const node::Field& f = entry.field;
        const std::string now = node::ValueText(f, after.data());
        if (before == nullptr) {
            lines.push_back(node::Label(entry) + ": " + now);
        } else if (FieldChanged(f, *before, after)) {
            lines.push_back(node::Label(entry) + ": " + node::ValueText(f, before->data()) +
                            " -> " + now);
        }
    }
}

// Bytes no field names: shown raw, as a whole, when they changed or nothing names them.
void AddOtherBytesLine(const node::WriteEvent& write,
                       const std::vector<node::CatalogueEntry>& fields, const node::Bytes* before,
                       std::vector<std::string>& lines) {
    const node::Bytes& after = write.bytes;
    const std::vector<std::uint8_t> named = NamedBits(fields, after.size());
    bool changed = fields.empty();
    for (std::size_t i = 0; before != nullptr && i < after.size(); ++i) {
        changed |= Differs(*before, after, i, static_cast<std::uint8_t>(~named[i]));
    }
    if (changed) {
        const std::string what =
            fields.empty() ? PlaceName(write) : PlaceName(write) + " other bytes";
        lines.push_back(what + ": " + (before != nullptr ? Hex(*before) + " -> " : "") +
                        Hex(after));
    }
}

}  // namespace

std::vector<std::string> DescribeWrite(const node::WriteEvent& write) {
    const std::vector<node::CatalogueEntry> fields = WrittenFields(write);
    // Before bytes of another length (a database edited by hand) tell nothing.
    const node::Bytes* before =
        write.before && write.before->size() == write.bytes.size() ? &*write.before : nullptr;
    std::vector<std::string> lines;
    AddFieldLines(fields, before, write.bytes, lines);
    AddOtherBytesLine(write, fields, before, lines);
    if (lines.empty()) {
        lines.push_back(PlaceName(write) + ": unchanged");
    }
    if (!write.succeeded) {
        for (std::string& line : lines) {
            line += "  (write failed)";
        }
    }
    return lines;
}

std::string LocalTimeText(std::int64_t timeMs) {
    const std::time_t seconds = static_cast<std::time_t>(timeMs / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::optional<std::int64_t> LocalDayStart(const std::string& date) {
    int year = 0, month = 0, day = 0;
    char end = 0;
    if (date.size() != 10 ||
        std::sscanf(date.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &end) != 3 || month < 1 ||
        month > 12 || day < 1 || day > 31) {
        return std::nullopt;
    }
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&local);
    if (seconds == static_cast<std::time_t>(-1) || local.tm_mday != day) {
        return std::nullopt;  // 2026-02-30 and the like
    }
    return static_cast<std::int64_t>(seconds) * 1000;
}

namespace {

// Text from the database as one line on a terminal: a control character (a line break, an
// escape sequence in a node's name) is shown as '?'.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = '?';
        }
    }
    return text;
}

}  // namespace

std::vector<std::string> RowLines(const Row& row) {
    const std::string head = LocalTimeText(row.write.timeMs) + "  " +
                             (row.node.empty() ? "(unnamed node)" : OneLine(row.node)) + "  " +
                             OneLine(row.write.origin) + "  ";
    std::vector<std::string> lines = DescribeWrite(row.write);
    for (std::string& line : lines) {
        line.insert(0, head);
    }
    return lines;
}

std::vector<std::string> HistoryLines(const std::vector<Row>& rows) {
    std::vector<std::string> lines;
    for (const Row& row : rows) {
        for (std::string& line : RowLines(row)) {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

}  // namespace history
