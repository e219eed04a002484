#include "link/MemberConfiguration.h"

#include <chrono>
#include <system_error>

namespace host {

std::unique_ptr<MemberConfiguration> MemberConfiguration::For(const LinkSettings& settings,
                                                              lon::UdpDatagram& udp) {
    if (!settings.configServer) {
        return nullptr;
    }
    lon::Ip852MemberOptions options;
    try {
        options.self = {lon::LocalAddressTowards(*settings.configServer), udp.LocalPort()};
    } catch (const std::system_error&) {
        options.self = {0, udp.LocalPort()};
    }
    options.name = "Vireo";
    options.configServer = settings.configServer;
    options.routing =
        lon::Ip852NodeRouting(options.self, lon::NeuronId{}, settings.domain, settings.source);
    udp.AlsoAccept(*settings.configServer);
    return std::unique_ptr<MemberConfiguration>(new MemberConfiguration(std::move(options)));
}

void MemberConfiguration::Attach(lon::Channel& channel, std::mutex* sendMutex) {
    channel.SetControl(
        [this, &channel, sendMutex](const lon::Ip852Packet& packet, const lon::Endpoint& from) {
            const std::vector<lon::Ip852Outgoing> replies =
                member_.Handle(packet.header.type, packet.payload, from, Ip852Now(channel.Now()));
            channel.SetChannelTimeout(lon::Millis(member_.ChannelTimeout()));
            std::unique_lock<std::mutex> lock;
            if (sendMutex != nullptr) {
                lock = std::unique_lock(*sendMutex);
            }
            SendConfiguration(channel, replies);
        });
}

lon::Ip852Instant Ip852Now(lon::Millis steady) {
    return {steady, lon::Ip852DateTime(std::chrono::system_clock::now())};
}

void SendConfiguration(lon::Channel& channel, const std::vector<lon::Ip852Outgoing>& packets) {
    for (const lon::Ip852Outgoing& packet : packets) {
        channel.SendControl(packet.type, packet.payload, packet.to);
    }
}

}  // namespace host
