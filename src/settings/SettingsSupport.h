#pragma once
// Helpers shared by the Import / Export page and its three operations: the node name, the
// initial file name, the checked part selection and the texts built from counts.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/Result.h"
#include "framework/Desktop.h"
#include "node/NodeLink.h"
#include "node/ServicePassword.h"

namespace settings {

// Pauses of the operations (milliseconds).
inline constexpr int kPartPauseMs = 250;
inline constexpr int kDefaultsPartWaitMs = 2000;

// The node's name: GetNodeName with a buffer of bufferLength bytes (20 on the page, 31 in the
// export); the first 20 bytes of the answer, cut at the first zero byte. Nothing when the
// host call fails.
std::optional<std::string> ReadNodeName(const NodeLink& link, int bufferLength);

// The initial file name offered for a node: <home>/<name>.txt, home being $HOME (or the user's
// home directory from the password database when HOME is not set). A "/" in the name would
// lead into another directory and becomes "_".
std::string DefaultFileName(std::string_view nodeName);

// Selects part n in the part window as the pages do (250 ms pause, the selector write, 250 ms
// pause) and tells whether the selector write succeeded: NV 45 must not be read or written
// while another part than the expected one may be showing.
bool SelectPartChecked(const NodeLink& link, platform::Desktop& desktop, int part);

// Reads a settings file whole, as every reader of one does: anything but a regular file, or a
// file larger than any settings file could be, is refused unread. Its text, or the reason.
base::Result<std::string> ReadSettingsFile(const std::string& path);

// The request of every settings-file dialog: the initial name, the file filter and extension.
platform::FileDialogRequest SettingsFileRequest(const std::string& initialName);

// A count as "%.0f" formats it.
std::string FormatCount(int count);

// "Part 7 of 12", the progress text of a part.
std::string PartProgressText(int part);

}  // namespace settings
