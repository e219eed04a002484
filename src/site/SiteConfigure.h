#pragma once
// This PC as the configuration server of a site's IP channel, for a site whose routers expect
// one and have none: every router of the site and this PC (once for each router's link, at the
// link's local port) are the channel's members. Each router gets its device configuration (the
// channel timeout, this PC as its configuration server), the channel membership, its send list
// and the channel routing of every other member, each step sent again until the router shows it
// holds it; this PC's members are listed with a routing that brings them what is addressed to
// the site's subnet/node. The site file keeps the channel's configuration: this PC's address and
// server port (the same on every run, as the routers take configuration from nowhere else once
// they have it), the local port of each link (chosen once where it was "any"), the channel
// timeout, and each member's state after the run.

#include <functional>
#include <string>
#include <vector>

#include "lon/Bytes.h"
#include "lon/Clock.h"
#include "lon/Datagram.h"
#include "site/Site.h"

namespace host {

struct ConfigureOptions {
    int channelTimeout = -1;  // ms; -1: as the site has it (1000 the first time)
    lon::Millis retryAfter{1000};
    int retries = 3;
    CaptureTarget capture;  // a pcap file of every configuration packet
};

struct ConfiguredMember {
    SiteMember member;
    int channel = 0;  // the link's channel, for a router and this PC's member of that link
    bool acknowledged = false;
};

// Configures the site's channel and saves what happened in its site file. progress sees each
// member once its state is final. "" or the reason nothing could be configured; members holds
// every member's state.
std::string ConfigureSiteChannel(const std::string& siteName, const lon::Bytes& secret,
                                 const ConfigureOptions& options,
                                 std::vector<ConfiguredMember>& members,
                                 const std::function<void(const ConfiguredMember&)>& progress);

// One link's member of this PC (its local port) registering with the site's configuration
// server: registers once a second until the server sends it its device configuration, or the
// wait is over. "" or why it is not registered; throws std::system_error when its port cannot
// be had.
std::string RegisterSiteLink(const Site& site, const SiteLink& link, const lon::Endpoint& server,
                             const lon::Bytes& secret, lon::Millis wait);

// Whether the site's routers have been configured and every member took it.
bool SiteChannelConfigured(const Site& site);

}  // namespace host
