#pragma once
// The MD5 secret of a site's authenticated channels in the desktop's secret store (service
// "vireo", key "site/NAME"), where a session bus offers one; else, or when the store refuses,
// in the site's 0600 secret file. The secret is never logged or printed.

#include <string>

#include "lon/Bytes.h"

namespace host {

// Keeps the site's secret; where says where it went ("the desktop's secret store", or the
// file). "" or the reason.
std::string SaveSiteSecret(const std::string& site, const lon::Bytes& secret, std::string& where);
// The site's secret from the secret store, else from its file. "" or the reason.
std::string LoadSiteSecret(const std::string& site, lon::Bytes& secret);

}  // namespace host
