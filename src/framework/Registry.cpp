#include "framework/Registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "framework/QuoteText.h"
#include "framework/SafeFile.h"
#include "framework/XdgPaths.h"

namespace platform {

namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Splits a key path at its backslashes. Empty parts are kept so that callers can decide what an
// empty name means; an empty path has no parts at all.
std::vector<std::string_view> SplitPath(std::string_view path) {
    std::vector<std::string_view> parts;
    if (path.empty()) {
        return parts;
    }
    for (;;) {
        const size_t sep = path.find('\\');
        parts.push_back(path.substr(0, sep));
        if (sep == std::string_view::npos) {
            return parts;
        }
        path.remove_prefix(sep + 1);
    }
}

bool HasEmptyPart(const std::vector<std::string_view>& parts) {
    for (std::string_view part : parts) {
        if (part.empty()) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool NoCaseLess::operator()(std::string_view a, std::string_view b) const {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(LowerAscii(a[i]));
        const auto cb = static_cast<unsigned char>(LowerAscii(b[i]));
        if (ca != cb) {
            return ca < cb;
        }
    }
    return a.size() < b.size();
}

// ---- The tree ----------------------------------------------------------------------------------

// The tree is walked with a list of keys still to do rather than by recursion: a key's copy,
// comparison and destruction would otherwise take a stack frame or more a level.

RegistryKey::RegistryKey(const RegistryKey& other)
    : default_(other.default_), values_(other.values_) {
    std::vector<std::pair<RegistryKey*, const RegistryKey*>> pending{{this, &other}};
    while (!pending.empty()) {
        const auto [to, from] = pending.back();
        pending.pop_back();
        for (const auto& [name, subkey] : from->subkeys_) {
            RegistryKey& copy =
                to->subkeys_.emplace_hint(to->subkeys_.end(), name, RegistryKey())->second;
            copy.default_ = subkey.default_;
            copy.values_ = subkey.values_;
            pending.emplace_back(&copy, &subkey);
        }
    }
}

RegistryKey& RegistryKey::operator=(const RegistryKey& other) {
    if (this != &other) {
        *this = RegistryKey(other);
    }
    return *this;
}

// Each level's subkeys are taken from their keys before the keys go, so that every key is
// destroyed without subkeys.
RegistryKey::~RegistryKey() {
    if (subkeys_.empty()) {
        return;
    }
    std::vector<std::map<std::string, RegistryKey, NoCaseLess>> pending;
    pending.push_back(std::exchange(subkeys_, {}));
    while (!pending.empty()) {
        auto level = std::move(pending.back());
        pending.pop_back();
        for (auto& [name, key] : level) {
            if (!key.subkeys_.empty()) {
                pending.push_back(std::exchange(key.subkeys_, {}));
            }
        }
    }
}

bool operator==(const RegistryKey& a, const RegistryKey& b) {
    std::vector<std::pair<const RegistryKey*, const RegistryKey*>> pending{{&a, &b}};
    while (!pending.empty()) {
        const auto [x, y] = pending.back();
        pending.pop_back();
        if (x->default_ != y->default_ || x->values_ != y->values_ ||
            x->subkeys_.size() != y->subkeys_.size()) {
            return false;
        }
        for (auto i = x->subkeys_.begin(), j = y->subkeys_.begin(); i != x->subkeys_.end();
             ++i, ++j) {
            if (i->first != j->first) {
                return false;
            }
            pending.emplace_back(&i->second, &j->second);
        }
    }
    return true;
}

const RegistryKey* RegistryKey::Find(std::string_view path) const {
    const RegistryKey* key = this;
    for (std::string_view part : SplitPath(path)) {
        // An empty part names no key: "A\\\\B" and "\\A" find nothing.
        if (part.empty()) {
            return nullptr;
        }
        const auto it = key->subkeys_.find(part);
        if (it == key->subkeys_.end()) {
            return nullptr;
        }
        key = &it->second;
    }
    return key;
}

RegistryKey* RegistryKey::Find(std::string_view path) {
    return const_cast<RegistryKey*>(std::as_const(*this).Find(path));
}

RegistryKey& RegistryKey::Create(std::string_view path) {
    RegistryKey* key = this;
    for (std::string_view part : SplitPath(path)) {
        // Empty parts are skipped, so no key ever gets an empty name.
        if (part.empty()) {
            continue;
        }
        auto it = key->subkeys_.find(part);
        if (it == key->subkeys_.end()) {
            it = key->subkeys_.emplace(std::string(part), RegistryKey()).first;
        }
        key = &it->second;
    }
    return *key;
}

bool RegistryKey::Delete(std::string_view path) {
    const size_t sep = path.rfind('\\');
    const std::string_view name = sep == std::string_view::npos ? path : path.substr(sep + 1);
    if (name.empty()) {
        return false;
    }
    RegistryKey* parent = this;
    if (sep != std::string_view::npos) {
        const std::string_view parentPath = path.substr(0, sep);
        // "\\A" has an empty parent part; Find of "" would be this key, so refuse it here.
        parent = parentPath.empty() ? nullptr : Find(parentPath);
    }
    if (parent == nullptr) {
        return false;
    }
    const auto it = parent->subkeys_.find(name);
    if (it == parent->subkeys_.end()) {
        return false;
    }
    parent->subkeys_.erase(it);
    return true;
}

std::optional<std::string> RegistryKey::Value(std::string_view name) const {
    const RegistryValue* value = Entry(name);
    if (value == nullptr || !value->string) {
        return std::nullopt;
    }
    return value->text;
}

void RegistryKey::SetValue(std::string_view name, std::string value) {
    SetEntry(name, {std::move(value), true});
}

const RegistryValue* RegistryKey::Entry(std::string_view name) const {
    if (name.empty()) {
        return default_ ? &*default_ : nullptr;
    }
    const auto it = values_.find(name);
    return it == values_.end() ? nullptr : &it->second;
}

void RegistryKey::SetEntry(std::string_view name, RegistryValue value) {
    if (name.empty()) {
        default_ = std::move(value);
        return;
    }
    // An existing value keeps the spelling of its name.
    const auto it = values_.find(name);
    if (it != values_.end()) {
        it->second = std::move(value);
    } else {
        values_.emplace(std::string(name), std::move(value));
    }
}

bool RegistryKey::DeleteValue(std::string_view name) {
    if (name.empty()) {
        const bool had = default_.has_value();
        default_.reset();
        return had;
    }
    const auto it = values_.find(name);
    if (it == values_.end()) {
        return false;
    }
    values_.erase(it);
    return true;
}

bool RegistryKey::Empty() const {
    return !default_ && values_.empty() && subkeys_.empty();
}

// ---- The text form -----------------------------------------------------------------------------

namespace {

constexpr std::string_view kHeader = "REGEDIT4";

void AppendQuoted(std::string_view text, std::string& out) {
    out += QuoteText(std::string(text));
}

void AppendValue(const RegistryValue& value, std::string& out) {
    if (value.string) {
        AppendQuoted(value.text, out);
    } else {
        out += value.text;
    }
    out += '\n';
}

// A key is written when it holds a value or is a leaf; a key with only subkeys is implied by
// the paths of its subkeys.
void AppendKey(const RegistryKey& key, const std::string& path, std::string& out) {
    const RegistryValue* fallback = key.Entry("");
    if (fallback == nullptr && key.Values().empty() && !key.Subkeys().empty()) {
        return;
    }
    out += '[';
    out += path;
    out += "]\n";
    if (fallback != nullptr) {
        out += "@=";
        AppendValue(*fallback, out);
    }
    for (const auto& [name, value] : key.Values()) {
        AppendQuoted(name, out);
        out += '=';
        AppendValue(value, out);
    }
    out += '\n';
}

// Every key below root, parents first, in name order. One path is kept and cut back to the
// parent's as the walk returns, so a deep key costs no copy of its parents' paths.
void AppendTree(const RegistryKey& root, std::string& out) {
    using Keys = std::map<std::string, RegistryKey, NoCaseLess>;
    struct Level {
        Keys::const_iterator next;
        Keys::const_iterator end;
        std::size_t pathSize;
    };
    std::string path;
    std::vector<Level> levels{{root.Subkeys().begin(), root.Subkeys().end(), 0}};
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.next == level.end) {
            levels.pop_back();
            continue;
        }
        const auto& [name, key] = *level.next++;
        path.resize(level.pathSize);
        if (!path.empty()) {
            path += '\\';
        }
        path += name;
        AppendKey(key, path, out);
        levels.push_back({key.Subkeys().begin(), key.Subkeys().end(), path.size()});
    }
}

// Reads the lines of one text, one at a time, without their LF or CR LF ends.
class LineReader {
public:
    explicit LineReader(std::string_view text) : rest_(text) {}

    bool Next(std::string_view& line) {
        if (rest_.empty()) {
            return false;
        }
        const size_t end = rest_.find('\n');
        line = rest_.substr(0, end);
        rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        ++number_;
        return true;
    }
    int Number() const { return number_; }

private:
    std::string_view rest_;
    int number_ = 0;
};

bool IsBlankOrComment(std::string_view line) {
    if (!line.empty() && line.front() == ';') {
        return true;
    }
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// Reads a double-quoted string at the start of text into out and drops it from text. Returns
// what is wrong, or "".
std::string TakeQuoted(std::string_view& text, std::string& out) {
    if (text.empty() || text.front() != '"') {
        return "a string that does not start with a double quote";
    }
    out.clear();
    for (size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            text.remove_prefix(i + 1);
            return "";
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == text.size()) {
            break;
        }
        switch (text[i]) {
            case '\\':
                out += '\\';
                break;
            case '"':
                out += '"';
                break;
            case 'n':
                out += '\n';
                break;
            default:
                return std::string("an unknown escape \\") + text[i];
        }
    }
    return "a string without its closing double quote";
}

bool AllHex(std::string_view digits) {
    return digits.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
}

// Checks one line's share of a hex list: bytes of one or two hex digits, separated by commas,
// with spaces or tabs around them. A line that goes on after its backslash may end with a comma;
// a line without any byte is an empty list.
std::string CheckHexBytes(std::string_view list, bool continued) {
    if (list.find_first_not_of(" \t") == std::string_view::npos) {
        return "";
    }
    for (;;) {
        const size_t comma = list.find(',');
        std::string_view byte = list.substr(0, comma);
        const size_t first = byte.find_first_not_of(" \t");
        byte = first == std::string_view::npos
                   ? std::string_view()
                   : byte.substr(first, byte.find_last_not_of(" \t") - first + 1);
        const bool last = comma == std::string_view::npos;
        if (!(byte.empty() && last && continued) &&
            (byte.empty() || byte.size() > 2 || !AllHex(byte))) {
            return "a hex byte that is not one or two hex digits";
        }
        if (last) {
            return "";
        }
        list.remove_prefix(comma + 1);
    }
}

// Reads a value of another type than string from text (what follows '='): "dword:" and eight
// hex digits, or "hex:" or "hex(N):" and a list of bytes that goes on to the next line after a
// trailing backslash. raw gets the value's text as the file holds it, its lines joined by LF.
// Returns what is wrong, or "".
std::string TakeTyped(std::string_view text, LineReader& lines, std::string& raw) {
    raw.assign(text);
    constexpr std::string_view kDword = "dword:";
    if (text.starts_with(kDword)) {
        const std::string_view digits = text.substr(kDword.size());
        return digits.size() == 8 && AllHex(digits) ? "" : "a dword that is not eight hex digits";
    }
    std::string_view list;
    if (text.starts_with("hex:")) {
        list = text.substr(4);
    } else if (text.starts_with("hex(")) {
        const size_t close = text.find("):");
        const std::string_view type =
            close == std::string_view::npos ? std::string_view() : text.substr(4, close - 4);
        if (type.empty() || type.size() > 8 || !AllHex(type)) {
            return "a hex(N): type that is not a hex number";
        }
        list = text.substr(close + 2);
    } else {
        return "a string that does not start with a double quote";
    }
    for (;;) {
        const bool continued = !list.empty() && list.back() == '\\';
        if (continued) {
            list.remove_suffix(1);
        }
        if (std::string error = CheckHexBytes(list, continued); !error.empty()) {
            return error;
        }
        if (!continued) {
            return "";
        }
        if (!lines.Next(list)) {
            return "a hex list continued past the end of the file";
        }
        raw += '\n';
        raw += list;
    }
}

// Reads one value ('@=' or '"name"=', then a string or a value of another type, which may go
// on over the following lines) into key. Returns what is wrong, or "".
std::string ParseValue(std::string_view line, LineReader& lines, RegistryKey* key) {
    std::string name;
    if (line.front() == '@') {
        line.remove_prefix(1);
    } else if (std::string error = TakeQuoted(line, name); !error.empty()) {
        return error;
    }
    if (line.empty() || line.front() != '=') {
        return "no '=' after the value name";
    }
    line.remove_prefix(1);
    RegistryValue value;
    if (!line.empty() && line.front() == '"') {
        if (std::string error = TakeQuoted(line, value.text); !error.empty()) {
            return error;
        }
        if (!line.empty()) {
            return "text after the value";
        }
    } else {
        value.string = false;
        if (std::string error = TakeTyped(line, lines, value.text); !error.empty()) {
            return error;
        }
    }
    if (key == nullptr) {
        return "a value outside any key";
    }
    key->SetEntry(name, std::move(value));
    return "";
}

// Reads one "[path]" line, creating the key. Returns what is wrong, or "".
std::string ParseKey(std::string_view line, RegistryKey& root, RegistryKey*& current) {
    if (line.size() < 2 || line.back() != ']') {
        return "a key line that does not end with ']'";
    }
    const std::string_view path = line.substr(1, line.size() - 2);
    const std::vector<std::string_view> parts = SplitPath(path);
    if (path.empty() || HasEmptyPart(parts)) {
        return "a key path with an empty name in it";
    }
    if (parts.size() > static_cast<std::size_t>(kMaxKeyDepth)) {
        return "a key path deeper than " + std::to_string(kMaxKeyDepth) + " levels";
    }
    current = &root.Create(path);
    return "";
}

std::string ParseLines(LineReader& lines, RegistryKey& root) {
    RegistryKey* current = nullptr;
    std::string_view line;
    while (lines.Next(line)) {
        if (IsBlankOrComment(line)) {
            continue;
        }
        std::string error;
        if (line.front() == '[') {
            error = ParseKey(line, root, current);
        } else if (line.front() == '@' || line.front() == '"') {
            error = ParseValue(line, lines, current);
        } else {
            error = "neither a key nor a value";
        }
        if (!error.empty()) {
            return "line " + std::to_string(lines.Number()) + ": " + error;
        }
    }
    return "";
}

}  // namespace

std::string FormatRegistry(const RegistryKey& root) {
    std::string out(kHeader);
    out += "\n\n";
    AppendTree(root, out);
    return out;
}

std::string ParseRegistry(std::string_view text, RegistryKey& root) {
    root = RegistryKey();
    LineReader lines(text);
    std::string_view line;
    while (lines.Next(line)) {
        if (IsBlankOrComment(line)) {
            continue;
        }
        if (line != kHeader) {
            return "line " + std::to_string(lines.Number()) +
                   ": not a registry file (the first line is not REGEDIT4)";
        }
        // Built apart so that a failed parse leaves root empty rather than half read.
        RegistryKey parsed;
        std::string error = ParseLines(lines, parsed);
        if (error.empty()) {
            root = std::move(parsed);
        }
        return error;
    }
    // Nothing but blank lines and comments: an empty registry.
    return "";
}

// ---- The file ----------------------------------------------------------------------------------

namespace {

thread_local std::string lastError;

// Records a failure for LastRegistryError and hands it back.
std::string Fail(std::string text) {
    SetLastRegistryError(text);
    return text;
}

// Reads path into root. Returns "" or the reason, without the path; a missing file is an empty
// registry.
std::string ReadFile(const std::string& path, RegistryKey& root) {
    root = RegistryKey();
    std::string text;
    if (std::string error = ReadWholeFile(path, text); !error.empty()) {
        return ::access(path.c_str(), F_OK) != 0 && errno == ENOENT ? "" : error;
    }
    return ParseRegistry(text, root);
}

}  // namespace

std::string RegistryFile::DefaultPath() {
    const char* explicitPath = std::getenv("VIREO_REGISTRY");
    if (explicitPath != nullptr && *explicitPath != '\0') {
        return explicitPath;
    }
    return XdgDataHome() + "/vireo/registry.reg";
}

std::string RegistryFile::Load(RegistryKey& root) const {
    try {
        if (std::string error = ReadFile(path_, root); !error.empty()) {
            root = RegistryKey();
            return Fail(path_ + ": " + error);
        }
        return "";
    } catch (const std::exception& e) {
        root = RegistryKey();
        return Fail(path_ + ": " + e.what());
    }
}

std::string RegistryFile::Save(const RegistryKey& root) const {
    try {
        if (std::string error = ReplaceFile(path_, FormatRegistry(root), true); !error.empty()) {
            return Fail(path_ + ": " + error);
        }
        return "";
    } catch (const std::exception& e) {
        return Fail(path_ + ": " + e.what());
    }
}

std::string RegistryFile::Edit(const std::function<bool(RegistryKey&)>& change) const {
    const std::string lockPath = path_ + ".lock";
    std::error_code made;
    if (const auto folder = std::filesystem::path(path_).parent_path(); !folder.empty()) {
        std::filesystem::create_directories(folder, made);
    }
    if (made) {
        return Fail(path_ + ": " + made.message());
    }
    const FileLock lock(lockPath, FileLock::Kind::Exclusive);
    if (!lock.Locked()) {
        return Fail(lockPath + ": " + lock.Error());
    }
    // The lock goes with the lock object, on every path out of here (including an
    // exception from change, which is the caller's to handle).
    RegistryKey root;
    if (std::string error = Load(root); !error.empty()) {
        return error;
    }
    if (!change(root)) {
        return "";
    }
    return Save(root);
}

const std::string& LastRegistryError() {
    return lastError;
}

void SetLastRegistryError(std::string text) {
    lastError = std::move(text);
}

}  // namespace platform
