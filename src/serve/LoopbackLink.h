#pragma once
// The simulated node reached over a LON/IP channel on 127.0.0.1, in one thread: the host's node
// sends its packets over a UDP socket to the node served on another socket, whose router forwards
// for the host's socket alone, and the served node answers whatever has arrived whenever the
// host's side sends or waits. Session scripts run
// through it to show that the link is invisible to the plug-in. The node's name comes from the
// simulated node itself, as a network tool's database gives it for a real one.

#include <memory>
#include <optional>
#include <string>

#include "link/LonNode.h"
#include "serve/NodeServer.h"

namespace host {

class LoopbackLink final : public NodeAccess {
public:
    explicit LoopbackLink(SimNode& node);
    ~LoopbackLink() override;

    // Opens the link; the error line, or nothing.
    std::optional<std::string> Open();

    HRESULT ReadNv(std::int32_t index, std::uint8_t* buffer, std::int32_t length) override;
    HRESULT WriteNv(std::int32_t index, const std::uint8_t* buffer, std::int32_t length) override;
    HRESULT GetNodeName(std::uint8_t* buffer, std::int32_t length) override;

private:
    class Turns;

    SimNode& node_;
    lon::SteadyClock clock_;
    std::unique_ptr<lon::UdpDatagram> servedSocket_;
    std::unique_ptr<lon::Channel> servedChannel_;
    std::unique_ptr<NodeServer> server_;
    std::unique_ptr<RouterMembership> membership_;
    std::unique_ptr<lon::UdpDatagram> hostSocket_;
    std::unique_ptr<Turns> turns_;
    std::unique_ptr<LonNode> link_;
};

}  // namespace host
