#include "lon/NetworkManagement.h"

#include <algorithm>

namespace lon {
namespace {

constexpr std::uint8_t kIndexEscape = 0xFF;
constexpr std::size_t kNvConfigSize = 3;
constexpr std::size_t kIdentitySize = 6 + 8;

Bytes IndexRequest(std::uint8_t code, std::uint16_t index) {
    Bytes out;
    out.reserve(4);
    out.push_back(code);
    if (index < kIndexEscape) {
        out.push_back(static_cast<std::uint8_t>(index));
    } else {
        out.push_back(kIndexEscape);
        PutU16(out, index);
    }
    return out;
}

// The reply kind by the code byte; a failure carries nothing after its code.
Reply Classify(ByteView apdu, std::uint8_t code) {
    if (apdu.empty()) {
        return Reply::Foreign;
    }
    if (apdu[0] == NmSuccess(code)) {
        return Reply::Success;
    }
    return apdu[0] == NmFailure(code) && apdu.size() == 1 ? Reply::Failure : Reply::Foreign;
}

NodeIdentity IdentityAt(ByteView bytes) {
    NodeIdentity id;
    std::copy_n(bytes.begin(), id.neuronId.size(), id.neuronId.begin());
    std::copy_n(bytes.begin() + 6, id.programId.size(), id.programId.begin());
    return id;
}

}  // namespace

Bytes NvFetchRequest(std::uint16_t index) {
    return IndexRequest(kNmNvFetch, index);
}

Reply ReadNvFetchResponse(ByteView apdu, std::uint16_t index, Bytes& value) {
    const Reply reply = Classify(apdu, kNmNvFetch);
    if (reply != Reply::Success) {
        return reply;
    }
    // The node echoes the index in the form the request used.
    const Bytes echo = NvFetchRequest(index);
    if (apdu.size() < echo.size() || !std::equal(echo.begin() + 1, echo.end(), apdu.begin() + 1)) {
        return Reply::Foreign;
    }
    value.assign(apdu.begin() + static_cast<std::ptrdiff_t>(echo.size()), apdu.end());
    return Reply::Success;
}

Bytes QueryNvConfigRequest(std::uint16_t index) {
    return IndexRequest(kNmQueryNvConfig, index);
}

Reply ReadNvConfigResponse(ByteView apdu, NvConfig& config) {
    const Reply reply = Classify(apdu, kNmQueryNvConfig);
    if (reply != Reply::Success) {
        return reply;
    }
    // An NV entry is three bytes; an alias entry adds its primary's index after them.
    if (apdu.size() < 1 + kNvConfigSize) {
        return Reply::Foreign;
    }
    config.priority = (apdu[1] & 0x80) != 0;
    config.output = (apdu[1] & 0x40) != 0;
    config.selector = static_cast<std::uint16_t>((apdu[1] & 0x3F) << 8 | apdu[2]);
    config.turnaround = (apdu[3] & 0x80) != 0;
    config.service = apdu[3] >> 5 & 0x03;
    config.authenticated = (apdu[3] & 0x10) != 0;
    config.addressIndex = apdu[3] & 0x0F;
    return Reply::Success;
}

Bytes QueryIdRequest(QueryIdScope scope) {
    return {kNmQueryId, static_cast<std::uint8_t>(scope)};
}

Reply ReadQueryIdResponse(ByteView apdu, NodeIdentity& identity) {
    const Reply reply = Classify(apdu, kNmQueryId);
    if (reply != Reply::Success) {
        return reply;
    }
    if (apdu.size() != 1 + kIdentitySize) {
        return Reply::Foreign;
    }
    identity = IdentityAt(apdu.subspan(1));
    return Reply::Success;
}

std::optional<NodeIdentity> ReadServicePin(ByteView apdu) {
    if (apdu.size() != 1 + kIdentitySize || apdu[0] != kNmServicePin) {
        return std::nullopt;
    }
    return IdentityAt(apdu.subspan(1));
}

Bytes ServicePinMessage(const NodeIdentity& identity) {
    Bytes out;
    out.reserve(1 + kIdentitySize);
    out.push_back(kNmServicePin);
    out.insert(out.end(), identity.neuronId.begin(), identity.neuronId.end());
    out.insert(out.end(), identity.programId.begin(), identity.programId.end());
    return out;
}

Bytes NvUpdate(std::uint16_t selector, ByteView value) {
    Bytes out;
    out.reserve(2 + value.size());
    PutU16(out, static_cast<std::uint16_t>(0x8000 | (selector & 0x3FFF)));
    out.insert(out.end(), value.begin(), value.end());
    return out;
}

Bytes RespondToQueryRequest(bool selected) {
    return {kNmRespondToQuery, static_cast<std::uint8_t>(selected ? 1 : 0)};
}

std::optional<std::uint16_t> ReadIndexRequest(ByteView apdu, std::uint8_t code) {
    if (apdu.size() == 2 && apdu[0] == code && apdu[1] != kIndexEscape) {
        return apdu[1];
    }
    if (apdu.size() == 4 && apdu[0] == code && apdu[1] == kIndexEscape) {
        return static_cast<std::uint16_t>(apdu[2] << 8 | apdu[3]);
    }
    return std::nullopt;
}

Bytes NvFetchResponse(ByteView request, ByteView value) {
    // The request's index bytes come back in the form they were sent.
    Bytes out(request.begin(), request.end());
    out[0] = NmSuccess(kNmNvFetch);
    out.insert(out.end(), value.begin(), value.end());
    return out;
}

Bytes NvConfigResponse(const NvConfig& config) {
    const auto first = static_cast<std::uint8_t>(
        (config.priority ? 0x80 : 0) | (config.output ? 0x40 : 0) | (config.selector >> 8 & 0x3F));
    const auto last =
        static_cast<std::uint8_t>((config.turnaround ? 0x80 : 0) | (config.service & 0x03) << 5 |
                                  (config.authenticated ? 0x10 : 0) | (config.addressIndex & 0x0F));
    return {NmSuccess(kNmQueryNvConfig), first, static_cast<std::uint8_t>(config.selector & 0xFF),
            last};
}

Bytes QueryIdResponse(const NodeIdentity& identity) {
    Bytes out = ServicePinMessage(identity);
    out[0] = NmSuccess(kNmQueryId);
    return out;
}

Bytes NmFailureResponse(std::uint8_t code) {
    return {NmFailure(code)};
}

std::optional<NvUpdateMessage> ReadNvUpdate(ByteView apdu) {
    if (apdu.size() < 2 || (apdu[0] & 0x80) == 0) {
        return std::nullopt;
    }
    NvUpdateMessage update;
    update.selector = static_cast<std::uint16_t>((apdu[0] & 0x3F) << 8 | apdu[1]);
    update.value.assign(apdu.begin() + 2, apdu.end());
    return update;
}

}  // namespace lon
