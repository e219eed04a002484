#pragma once
// The simulated node reached over a LON/IP channel on 127.0.0.1: the node served by a thread of
// its own, and the host's node over the link to it. Session scripts run through it to show that
// the link is invisible to the plug-in. The node's name comes from the simulated node itself, as
// a network tool's database gives it for a real one.

#include <memory>
#include <optional>
#include <string>

#include "link/LonNode.h"
#include "link/NodeServer.h"

namespace host {

class LoopbackLink final : public NodeAccess {
public:
    explicit LoopbackLink(SimNode& node);

    // Opens the link; the error line, or nothing.
    std::optional<std::string> Open();

    HRESULT ReadNv(std::int32_t index, std::uint8_t* buffer, std::int32_t length) override;
    HRESULT WriteNv(std::int32_t index, const std::uint8_t* buffer, std::int32_t length) override;
    HRESULT GetNodeName(std::uint8_t* buffer, std::int32_t length) override;

private:
    SimNode& node_;
    ServingThread served_;
    std::unique_ptr<LonNode> link_;
};

}  // namespace host
