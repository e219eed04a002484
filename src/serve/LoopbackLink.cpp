#include "serve/LoopbackLink.h"

#include <system_error>

namespace host {

// The host's socket, with the served node taking its turn each time the host sends or waits:
// a datagram sent on 127.0.0.1 is in the other socket's queue when the send returns.
class LoopbackLink::Turns final : public lon::Datagram {
public:
    Turns(lon::UdpDatagram& host, NodeServer& server, lon::Clock& clock)
        : host_(host), server_(server), clock_(clock) {}

    bool Send(lon::ByteView bytes) override {
        const bool sent = host_.Send(bytes);
        server_.ServeUntil(clock_.Now());
        return sent;
    }
    std::optional<lon::Bytes> Receive(lon::Millis deadline) override {
        server_.ServeUntil(clock_.Now());
        return host_.Receive(deadline);
    }

private:
    lon::UdpDatagram& host_;
    NodeServer& server_;
    lon::Clock& clock_;
};

LoopbackLink::LoopbackLink(SimNode& node) : node_(node) {}

LoopbackLink::~LoopbackLink() = default;

std::optional<std::string> LoopbackLink::Open() {
    try {
        servedSocket_ = std::make_unique<lon::UdpDatagram>(clock_, "127.0.0.1", 0);
        hostSocket_ = std::make_unique<lon::UdpDatagram>(clock_, "127.0.0.1", 0);
        hostSocket_->SetPeer("127.0.0.1", servedSocket_->LocalPort());
    } catch (const std::system_error& error) {
        return std::string("the loopback link: ") + error.what();
    }
    servedSocket_->AcceptAnyone();
    servedChannel_ = std::make_unique<lon::Channel>(*servedSocket_, clock_,
                                                    lon::Channel::Options{{}, 0x5E4E0002u, 0});
    server_ = std::make_unique<NodeServer>(node_, *servedChannel_, clock_, ServedIdentity{});
    // A router as strict as a real one, with the host's socket the one member of its channel.
    membership_ = std::make_unique<RouterMembership>(
        RouterRules{false, {{0x7F000001, hostSocket_->LocalPort()}}},
        RouterIdentity{
            {0x7F000001, servedSocket_->LocalPort()}, "", {}, {ServedIdentity{}.address}});
    server_->SetMembership(*membership_);
    turns_ = std::make_unique<Turns>(*hostSocket_, *server_, clock_);
    LinkSettings settings;
    settings.router = "127.0.0.1";
    settings.port = servedSocket_->LocalPort();
    settings.node.node = ServedIdentity{}.address;
    // Every answer is there as soon as the host waits; only a write the node refuses goes
    // unanswered, and its failure should not take a router channel's seconds.
    settings.retry = {1, 0};
    link_ = std::make_unique<LonNode>(settings, *turns_);
    return link_->Open();
}

HRESULT LoopbackLink::ReadNv(std::int32_t index, std::uint8_t* buffer, std::int32_t length) {
    return link_->ReadNv(index, buffer, length);
}

HRESULT LoopbackLink::WriteNv(std::int32_t index, const std::uint8_t* buffer, std::int32_t length) {
    return link_->WriteNv(index, buffer, length);
}

HRESULT LoopbackLink::GetNodeName(std::uint8_t* buffer, std::int32_t length) {
    return node_.GetNodeName(buffer, length);
}

}  // namespace host
