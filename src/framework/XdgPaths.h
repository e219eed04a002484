#pragma once
// The user's home folder and the per-user base folders of the XDG base directory convention,
// as every default file path of the plug-in and the host tool starts from them.

#include <string>

namespace platform {

// $HOME when set and not empty; else the password database's home folder of this user (as under
// service managers that set no $HOME); else "".
std::string HomeDirectory();
// $XDG_DATA_HOME when it is an absolute path, else HomeDirectory() + "/.local/share". An empty
// or relative value is ignored, as the convention asks.
std::string XdgDataHome();
// $XDG_CONFIG_HOME when it is an absolute path, else HomeDirectory() + "/.config".
std::string XdgConfigHome();
// $XDG_STATE_HOME when it is an absolute path, else HomeDirectory() + "/.local/state".
std::string XdgStateHome();
// $XDG_RUNTIME_DIR when it is an absolute path (the session's private folder for this user's
// locks and counts), else "".
std::string XdgRuntimeDir();

}  // namespace platform
