#include "link/LoopbackLink.h"

namespace host {

LoopbackLink::LoopbackLink(SimNode& node) : node_(node), served_(node, {}) {}

std::optional<std::string> LoopbackLink::Open() {
    LinkSettings settings;
    settings.router = "127.0.0.1";
    settings.port = served_.Port();
    settings.node.node = ServedIdentity{}.address;
    // The served node answers at once; a write it refuses is never acknowledged, and its
    // failure should not take the seconds a router's channel would (64 ms a try).
    settings.retry = {3, 4};
    link_ = std::make_unique<LonNode>(settings);
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
