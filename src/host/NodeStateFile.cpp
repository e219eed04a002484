#include "host/NodeStateFile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "host/ClientSite.h"
#include "host/ScriptRunner.h"

namespace host {
namespace {

using nlohmann::json;

constexpr const char* kFormat = "vireo-node-state";
constexpr int kVersion = 1;

struct FieldError {
    std::string field;
    std::string problem;
};

Bytes HexField(const json& value, const std::string& field, std::size_t size) {
    if (!value.is_string()) {
        throw FieldError{field, "expected a text of hexadecimal bytes"};
    }
    std::vector<unsigned char> bytes;
    if (!ParseHexBytes(value.get<std::string>(), bytes)) {
        throw FieldError{field, "is not hexadecimal bytes (two digits a byte)"};
    }
    if (bytes.size() != size) {
        throw FieldError{field, "expected " + std::to_string(size) + " bytes, found " +
                                    std::to_string(bytes.size())};
    }
    return Bytes(bytes.begin(), bytes.end());
}

int IndexKey(const std::string& key, const std::string& field) {
    if (key.empty() || key.size() > 3 || key.find_first_not_of("0123456789") != std::string::npos) {
        throw FieldError{field, "is not a variable index"};
    }
    return std::stoi(key);
}

void Apply(const json& doc, SimNode& node) {
    if (!doc.is_object()) {
        throw FieldError{"(top level)", "expected a JSON object"};
    }
    for (const auto& [key, value] : doc.items()) {
        if (key != "format" && key != "version" && key != "name" && key != "programId" &&
            key != "variables" && key != "parts") {
            throw FieldError{key, "is not a field of a node state file"};
        }
    }
    if (doc.contains("format") && doc["format"] != kFormat) {
        throw FieldError{"format", std::string("expected \"") + kFormat + "\""};
    }
    if (doc.contains("version") && doc["version"] != kVersion) {
        throw FieldError{"version", "expected " + std::to_string(kVersion)};
    }
    if (doc.contains("name")) {
        if (!doc["name"].is_string()) {
            throw FieldError{"name", "expected a text"};
        }
        const std::string name = doc["name"].get<std::string>();
        if (name.size() > 255) {
            throw FieldError{"name", "longer than 255 bytes"};
        }
        node.SetName(name);
    }
    if (doc.contains("programId")) {
        ProgramId id{};
        if (!doc["programId"].is_string() ||
            !ParseProgramId(doc["programId"].get<std::string>(), id)) {
            throw FieldError{"programId", "expected eight hexadecimal bytes"};
        }
        node.SetProgramId(id);
    }
    if (doc.contains("variables")) {
        const json& variables = doc["variables"];
        if (!variables.is_object()) {
            throw FieldError{"variables", "expected an object of index: bytes"};
        }
        for (const auto& [key, value] : variables.items()) {
            const std::string field = "variables." + key;
            const nv::Variable* v = nv::Find(IndexKey(key, field));
            if (v == nullptr || v->index == nv::kPluginCnf) {
                throw FieldError{field, "is not a variable of the node"};
            }
            node.SetRaw(v->index, HexField(value, field, static_cast<std::size_t>(v->size)));
        }
    }
    if (doc.contains("parts")) {
        const json& parts = doc["parts"];
        if (!parts.is_object()) {
            throw FieldError{"parts", "expected an object of part: bytes"};
        }
        for (const auto& [key, value] : parts.items()) {
            const std::string field = "parts." + key;
            const int part = IndexKey(key, field);
            if (part < nv::kFirstPart || part > nv::kPartCount) {
                throw FieldError{field, "is not a part 1 to 12"};
            }
            node.SetPart(part, HexField(value, field, nv::kPartSize));
        }
    }
}

}  // namespace

std::string DefaultNodeStatePath() {
    const char* state = std::getenv("XDG_STATE_HOME");
    std::filesystem::path base;
    if (state != nullptr && *state == '/') {
        base = state;
    } else {
        const char* home = std::getenv("HOME");
        base = std::filesystem::path(home != nullptr ? home : ".") / ".local" / "state";
    }
    return (base / "vireo" / "node.json").string();
}

std::string LoadNodeState(const std::string& path, SimNode& node) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return "node state file " + path + ": cannot be read";
    }
    json doc;
    try {
        doc = json::parse(in);
    } catch (const json::parse_error& e) {
        return "node state file " + path + ": not valid JSON (" + e.what() + ")";
    }
    SimNode updated = node;
    try {
        Apply(doc, updated);
    } catch (const FieldError& e) {
        return "node state file " + path + ": field \"" + e.field + "\" " + e.problem;
    }
    auto onChange = node.onChange;
    node = updated;
    node.onChange = onChange;
    return {};
}

std::string SaveNodeState(const std::string& path, const SimNode& node) {
    json doc;
    doc["format"] = kFormat;
    doc["version"] = kVersion;
    doc["name"] = node.Name();
    doc["programId"] = ProgramIdText(node.GetProgramId());
    json variables = json::object();
    for (const nv::Variable& v : nv::Variables()) {
        if (v.index == nv::kPluginCnf) {
            continue;
        }
        const Bytes bytes = node.Raw(v.index);
        variables[std::to_string(v.index)] = HexBytes(bytes.data(), bytes.size());
    }
    doc["variables"] = variables;
    json parts = json::object();
    for (int part = nv::kFirstPart; part <= nv::kPartCount; ++part) {
        const PartImage image = node.Part(part);
        parts[std::to_string(part)] = HexBytes(image.data(), image.size());
    }
    doc["parts"] = parts;

    std::error_code ec;
    const std::filesystem::path target(path);
    if (target.has_parent_path()) {
        std::filesystem::create_directories(target.parent_path(), ec);
    }
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << doc.dump(2) << '\n';
        out.flush();
        if (!out) {
            std::filesystem::remove(temporary, ec);
            return "node state file " + path + ": cannot be written";
        }
    }
    std::filesystem::rename(temporary, target, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        return "node state file " + path + ": cannot be replaced (" + ec.message() + ")";
    }
    return {};
}

}  // namespace host
