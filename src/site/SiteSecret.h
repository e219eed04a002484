#pragma once
// The MD5 secret of a site's authenticated channels, where no secret store of the desktop runs:
// a file of its own beside the site file (NAME.secret, sixteen bytes in hexadecimal), readable by
// this user only. The secret is never in the site file, a log, the history or a command line.

#include <string>

#include "framework/SecretBytes.h"
#include "lon/Bytes.h"

namespace host {

// SitesFolder()/NAME.secret.
std::string SecretFilePath(const std::string& site);
// Writes the secret, the file made with mode 0600 before it holds anything. "" or the reason.
std::string SaveSecretFile(const std::string& site, const lon::Bytes& secret);
// Reads the secret; a file others may read is refused, as its secret may be known. "" or the
// reason.
std::string LoadSecretFile(const std::string& site, platform::SecretBytes& secret);

}  // namespace host
