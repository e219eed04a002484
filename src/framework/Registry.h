#pragma once
// The registry in place of the system's: a tree of keys, each with an optional default value,
// named string values and subkeys, kept in one file in the text form of registry export files:
//
//   REGEDIT4
//
//   [HKEY_CLASSES_ROOT\CLSID\{828CBF24-AAD1-4C20-85A9-9F704A89C333}]
//   @="Vireo Control"
//
//   [HKEY_CLASSES_ROOT\CLSID\{828CBF24-AAD1-4C20-85A9-9F704A89C333}\InprocServer32]
//   @="/usr/lib/vireo/Vireo.so"
//   "ThreadingModel"="Apartment"
//
// Values of other types that such files hold (dword:, hex:, hex(N):, a hex list continued on the
// next line after a backslash) are read, checked and written back in the very form they were
// read; the plug-in itself reads and writes strings only.
//
// Key and value names compare without regard to case, as the system's registry does, and keep
// the case they were first written with. Self-registration edits the file in one transaction:
// load, change in memory, save atomically, under a lock, so that a failed registration leaves
// the file as it was and two registrations at once do not lose each other's keys.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The hive the class registrations live in; the first part of every key path in the file.
inline constexpr const char* kClassesRoot = "HKEY_CLASSES_ROOT";

// The deepest key path a registry file may hold (the hive counts). Registrations go six levels
// deep; a file with deeper keys is refused with the key's line.
inline constexpr int kMaxKeyDepth = 64;

struct NoCaseLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

// One value: a string, or a value of another type kept as its text after '=' in the file
// ("dword:0000002a", "hex:aa,bb", a continued hex list with its line breaks and indents).
struct RegistryValue {
    std::string text;
    bool string = true;

    friend bool operator==(const RegistryValue&, const RegistryValue&) = default;
};

// A tree of any depth is copied, compared, written and destroyed without recursion, so that no
// tree can exhaust the stack.
class RegistryKey {
public:
    RegistryKey() = default;
    RegistryKey(const RegistryKey& other);
    RegistryKey(RegistryKey&&) noexcept = default;
    RegistryKey& operator=(const RegistryKey& other);
    RegistryKey& operator=(RegistryKey&&) noexcept = default;
    ~RegistryKey();

    // The key at a backslash-separated path below this one ("CLSID\{...}\Node"), or null. An
    // empty path is this key.
    RegistryKey* Find(std::string_view path);
    const RegistryKey* Find(std::string_view path) const;
    // The key at path, creating every missing key on the way.
    RegistryKey& Create(std::string_view path);
    // Deletes the key at path with everything below it; false when there was none.
    bool Delete(std::string_view path);

    // The default value when it is a string.
    std::optional<std::string> Default() const { return Value(""); }
    void SetDefault(std::string value) { SetValue("", std::move(value)); }
    // A named string value; the empty name is the default value. A value of another type is
    // no string: null.
    std::optional<std::string> Value(std::string_view name) const;
    void SetValue(std::string_view name, std::string value);
    // A value of any type, or null; the empty name is the default value.
    const RegistryValue* Entry(std::string_view name) const;
    void SetEntry(std::string_view name, RegistryValue value);
    bool DeleteValue(std::string_view name);

    const std::map<std::string, RegistryKey, NoCaseLess>& Subkeys() const { return subkeys_; }
    // The named values, without the default value.
    const std::map<std::string, RegistryValue, NoCaseLess>& Values() const { return values_; }
    // No default value, no named value and no subkey.
    bool Empty() const;

    friend bool operator==(const RegistryKey& a, const RegistryKey& b);

private:
    std::optional<RegistryValue> default_;
    std::map<std::string, RegistryValue, NoCaseLess> values_;
    std::map<std::string, RegistryKey, NoCaseLess> subkeys_;
};

// The text form: "REGEDIT4", then every key below the root that holds a value or has no
// subkeys, parents first, in name order, with its full path in brackets and its values below.
// Strings are in double quotes with \\, \" and \n escaped; values of other types as they were
// read.
std::string FormatRegistry(const RegistryKey& root);
// Reads the text form into root (which is emptied first). Empty on success, otherwise what is
// wrong, with the line number: "line 7: a value outside any key". Blank lines and lines
// starting with ';' are ignored; CR LF line ends are accepted. Keys deeper than kMaxKeyDepth
// are refused.
std::string ParseRegistry(std::string_view text, RegistryKey& root);

class RegistryFile {
public:
    explicit RegistryFile(std::string path) : path_(std::move(path)) {}

    // $VIREO_REGISTRY, else $XDG_DATA_HOME/vireo/registry.reg, else
    // $HOME/.local/share/vireo/registry.reg.
    static std::string DefaultPath();

    const std::string& Path() const { return path_; }

    // Reads the file; an absent file is an empty registry. Empty on success, otherwise one line
    // naming the file and the reason ("/x/registry.reg: line 7: a value outside any key",
    // "/x/registry.reg: Permission denied").
    std::string Load(RegistryKey& root) const;
    // Writes the whole registry atomically: a temporary file in the same folder, flushed to
    // disk, then renamed over the file. Creates the folder when it is missing. Empty on success,
    // otherwise one line naming the file and the reason; the old file is then untouched.
    std::string Save(const RegistryKey& root) const;
    // One transaction: takes an exclusive lock (the file "<path>.lock"), loads, lets change
    // edit the tree, and saves when change returns true. Nothing is written when the file
    // cannot be read or change returns false. Empty on success, otherwise the reason.
    std::string Edit(const std::function<bool(RegistryKey&)>& change) const;

private:
    std::string path_;
};

// The reason the last failed registry operation of this thread gave (the text Load, Save or
// Edit returned), for hosts that get only a result code from a module's self-registration.
const std::string& LastRegistryError();
void SetLastRegistryError(std::string text);

}  // namespace platform
