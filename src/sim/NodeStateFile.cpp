#include "sim/NodeStateFile.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include <sys/stat.h>

#include "codecs/HexBytes.h"
#include "framework/SafeFile.h"
#include "framework/XdgPaths.h"

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
    if (!codecs::ParseHexBytes(value.get<std::string>(), bytes)) {
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

std::string StateFileIdentity(const std::string& path) {
    std::error_code unknown;
    const std::filesystem::path real = std::filesystem::weakly_canonical(path, unknown);
    return unknown ? path : real.string();
}

std::string DefaultNodeStatePath() {
    return (std::filesystem::path(platform::XdgStateHome()) / "vireo" / "node.json").string();
}

std::string LoadNodeState(const std::string& path, SimNode& node) {
    std::string text;
    if (const std::string error = platform::ReadWholeFile(path, text); !error.empty()) {
        return "node state file " + path + ": cannot be read (" + error + ")";
    }
    json doc;
    try {
        doc = json::parse(text);
    } catch (const json::exception& e) {
        return "node state file " + path + ": not valid JSON (" + e.what() + ")";
    }
    SimNode updated = node;
    try {
        Apply(doc, updated);
    } catch (const FieldError& e) {
        return "node state file " + path + ": field \"" + e.field + "\" " + e.problem;
    } catch (const std::exception& e) {
        return "node state file " + path + ": " + e.what();
    }
    node = updated;
    return {};
}

namespace {

std::string StateText(const SimNode& node) {
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
        variables[std::to_string(v.index)] = codecs::HexBytes(bytes.data(), bytes.size());
    }
    doc["variables"] = variables;
    json parts = json::object();
    for (int part = nv::kFirstPart; part <= nv::kPartCount; ++part) {
        const PartImage image = node.Part(part);
        parts[std::to_string(part)] = codecs::HexBytes(image.data(), image.size());
    }
    doc["parts"] = parts;
    // A name of any bytes is kept: invalid UTF-8 is written replaced, never a reason to fail.
    return doc.dump(2, ' ', false, json::error_handler_t::replace) + '\n';
}

}  // namespace

std::string SaveNodeState(const std::string& path, const SimNode& node, bool flush) {
    if (const std::string error = platform::ReplaceFile(path, StateText(node), true, flush);
        !error.empty()) {
        return "node state file " + path + ": cannot be saved (" + error + ")";
    }
    return {};
}

std::string CreateNodeState(const std::string& path, const SimNode& node, bool& existed) {
    const std::string error = platform::CreateFile(path, StateText(node), true);
    existed = error == platform::ErrnoText(EEXIST);
    return error.empty() ? "" : "node state file " + path + ": cannot be made (" + error + ")";
}

bool StateFileExists(const std::string& path, std::string& error) {
    std::error_code code;
    const bool exists = std::filesystem::exists(path, code);
    if (code) {
        error = "node state file " + path + ": " + code.message();
        return false;
    }
    return exists;
}

std::string LoadExistingState(const std::string& path, SimNode& node) {
    std::string error;
    if (StateFileExists(path, error)) {
        return LoadNodeState(path, node);
    }
    return error;
}

bool StateFileStore::Stamp::operator==(const Stamp& other) const {
    return exists == other.exists && device == other.device && inode == other.inode &&
           size == other.size && modified.tv_sec == other.modified.tv_sec &&
           modified.tv_nsec == other.modified.tv_nsec;
}

// The lock file sits beside the file the state file's links lead to, so that every path to
// one state file takes the same lock.
StateFileStore::StateFileStore(std::string path) : path_(std::move(path)), seen_(Current()) {
    std::string error;
    const std::string target = platform::FollowLinks(path_, error);
    lockPath_ = (target.empty() ? path_ : target) + ".lock";
}

StateFileStore::Stamp StateFileStore::Current() const {
    struct stat info {};
    if (::stat(path_.c_str(), &info) != 0) {
        return {};
    }
    return {true, info.st_dev, info.st_ino, info.st_size, info.st_mtim};
}

std::string StateFileStore::ReloadIfChanged(SimNode& node) {
    const Stamp now = Current();
    if (!now.exists || now == seen_) {
        return {};
    }
    if (std::string error = LoadNodeState(path_, node); !error.empty()) {
        return error;
    }
    seen_ = now;
    return {};
}

void StateFileStore::BeforeRead(SimNode& node) {
    if (Current() == seen_) {
        return;
    }
    const platform::FileLock lock(lockPath_, platform::FileLock::Kind::Shared);
    if (std::string error = ReloadIfChanged(node); !error.empty()) {
        error_ = std::move(error);
    }
}

bool StateFileStore::Write(SimNode& node, const std::function<bool()>& change, bool durable) {
    // The first write of a new node makes its folder, where the lock file goes too.
    if (const auto folder = std::filesystem::path(lockPath_).parent_path();
        !folderMade_ && !folder.empty()) {
        std::error_code error;  // a folder that cannot be made fails the lock below
        std::filesystem::create_directories(folder, error);
        folderMade_ = !error;
    }
    const platform::FileLock lock(lockPath_, platform::FileLock::Kind::Exclusive);
    if (!lock.Locked()) {
        error_ = "node state file " + path_ + ": cannot be locked (lock file " + lockPath_ + ": " +
                 lock.Error() + ")";
        return false;
    }
    if (std::string error = ReloadIfChanged(node); !error.empty()) {
        error_ = std::move(error);
        return false;
    }
    const SimNode before = node;
    if (!change()) {
        return false;
    }
    if (std::string error = SaveNodeState(path_, node, durable); !error.empty()) {
        error_ = std::move(error);
        node = before;
        return false;
    }
    seen_ = Current();
    return true;
}

}  // namespace host
