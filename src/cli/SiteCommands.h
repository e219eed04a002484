#pragma once
// The command line's side of a site: `vireo site new` writes the site file, `vireo site secret`
// keeps a channel's secret apart from it, `vireo site list` and `vireo nodes --site` show what
// it holds, and `vireo discover --site` listens on every channel of the site and, with --save,
// keeps what answered.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "host/SecretStore.h"
#include "site/Site.h"
#include "site/SiteConfigure.h"
#include "site/SiteDiscovery.h"

namespace host {

struct SiteNewOptions {
    std::string name;
    std::vector<std::string> links;  // lonip://ROUTER[:PORT], one a channel
    std::string source = "1/126";
    std::string domain;
    int localPort = 0;
    std::string keyFile;       // the channels' MD5 secret: every link is authenticated
    bool timeSynced = false;   // this PC's clock follows a time server
    std::string configServer;  // HOST:PORT of the channel's configuration server
};

int RunSiteNewCommand(const SiteNewOptions& options, std::ostream& out, std::ostream& err);
int RunSiteSecretCommand(const std::string& name, const std::string& keyFile, std::ostream& out,
                         std::ostream& err);
int RunSiteListCommand(bool json, std::ostream& out, std::ostream& err);
// `vireo nodes --site NAME`: the site's links and nodes, as a table or JSON.
int RunSiteNodesCommand(const std::string& name, bool json, std::ostream& out, std::ostream& err);
// `vireo site rename SITE NODE NEW`: a node's name in the site.
int RunSiteRenameCommand(const std::string& site, const std::string& node,
                         const std::string& newName, std::ostream& out, std::ostream& err);
// `vireo site configure NAME`: this PC as the site's configuration server; 0 when every router
// took its configuration.
int RunSiteConfigureCommand(const std::string& name, const ConfigureOptions& options,
                            std::ostream& out, std::ostream& err);
// `vireo site show NAME`: the site's links, its channel's members and the last configuration.
int RunSiteShowCommand(const std::string& name, std::ostream& out, std::ostream& err);
// `vireo site register NAME`: this PC's member of each link registers with the site's
// configuration server; 0 when the server configured each.
int RunSiteRegisterCommand(const std::string& name, int waitSeconds, std::ostream& out,
                           std::ostream& err);
// `vireo discover --site NAME [--save] [--most-new N]`: listens on every channel, lists the
// nodes heard (at most mostNew new ones, saying how many more were left out) and with save keeps
// them in the site file.
int RunDiscoverSiteCommand(const std::string& name, int waitSeconds, bool save, std::ostream& out,
                           std::ostream& err, int mostNew = kMostNewNodes);

}  // namespace host
