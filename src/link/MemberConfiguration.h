#pragma once
// This PC as a member of a channel whose configuration server is another's (the site names it):
// while a link runs, what that server sends (device configuration, membership, send list,
// routing) is taken, acknowledged as a member must, and applied (the channel timeout); its
// requests are answered with this PC's own routing, which asks the router for what is addressed
// to our subnet/node. Configuration from anyone else is refused.

#include <functional>
#include <memory>
#include <mutex>

#include "link/LinkSettings.h"
#include "lon/Channel.h"
#include "lon/Ip852Member.h"
#include "lon/UdpDatagram.h"

namespace host {

class MemberConfiguration {
public:
    // For the link of the settings over its socket; nothing to do where no server is named.
    static std::unique_ptr<MemberConfiguration> For(const LinkSettings& settings,
                                                    lon::UdpDatagram& udp);

    // Takes the channel's configuration packets; replies go out under sendMutex where the
    // channel is shared.
    void Attach(lon::Channel& channel, std::mutex* sendMutex = nullptr);
    const lon::Ip852Member& Member() const { return member_; }

private:
    explicit MemberConfiguration(lon::Ip852MemberOptions options) : member_(std::move(options)) {}

    lon::Ip852Member member_;
};

// The configuration logic's time: the steady clock and the wall clock's date-time.
lon::Ip852Instant Ip852Now(lon::Millis steady);
// Sends what the configuration logic gave back, each packet to its member.
void SendConfiguration(lon::Channel& channel, const std::vector<lon::Ip852Outgoing>& packets);

}  // namespace host
