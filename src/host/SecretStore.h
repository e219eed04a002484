#pragma once
// The MD5 secret of a site's authenticated channels in the desktop's secret store (service
// "vireo", key "site/NAME"), where a session bus offers one; else, or when the store refuses,
// in the site's 0600 secret file. The secret is never logged or printed.

#include <string>

#include <optional>

#include "framework/SecretBytes.h"
#include "lon/Bytes.h"
#include "site/Site.h"

namespace host {

// Keeps the site's secret; where says where it went ("the desktop's secret store", or the
// file). "" or the reason.
std::string SaveSiteSecret(const std::string& site, const lon::Bytes& secret, std::string& where);
// The site's secret from the secret store, else from its file. "" or the reason.
std::string LoadSiteSecret(const std::string& site, platform::SecretBytes& secret);

// The site and its channels' secret, where one of its links is authenticated; the reason, or
// nothing.
std::optional<std::string> LoadSiteWithSecret(const std::string& name, Site& site,
                                              platform::SecretBytes& secret);
// How to reach a node of a site, by its name there: its channel's settings with the secret,
// and its channel when asked.
std::optional<std::string> SiteNodeSettings(const std::string& site, const std::string& node,
                                            LinkSettings& settings, int* channel = nullptr);

}  // namespace host
