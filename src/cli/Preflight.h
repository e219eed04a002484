#pragma once
// What a command can check before the node's pauses start: the export's target, the settings
// file a download reads. Each answer is empty when the command may go on, or one line naming
// the path and the reason (the system's own error text where there is one).

#include <string>

namespace host {

// The export may write path: its folder exists and can be written, and path is not a
// directory, a device or a pipe. An existing file is refused unless force is given, as the
// page asks before it overwrites.
std::string CheckExportTarget(const std::string& path, bool force);

// The download can read path: a readable regular file with a Program ID line (without one the
// download writes nothing).
std::string CheckSettingsFileToRead(const std::string& path);

}  // namespace host
