#pragma once
// The network-management and network-variable messages a configuration tool sends to one node,
// as APDUs: builders for the requests and readers for the responses. A node answers a request
// with its code's success form (0x20 | code) or failure form (code & 0x1F); the response is
// matched to its request by the transaction, so a reader checks the code it expects.

#include <array>
#include <cstdint>
#include <optional>

#include "lon/Bytes.h"
#include "lon/Packet.h"

namespace lon {

inline constexpr std::uint8_t kNmQueryId = 0x61;
inline constexpr std::uint8_t kNmRespondToQuery = 0x62;
inline constexpr std::uint8_t kNmQueryNvConfig = 0x68;
inline constexpr std::uint8_t kNmNvFetch = 0x73;
inline constexpr std::uint8_t kNmServicePin = 0x7F;

constexpr std::uint8_t NmSuccess(std::uint8_t code) {
    return 0x20 | (code & 0x1F);
}
constexpr std::uint8_t NmFailure(std::uint8_t code) {
    return code & 0x1F;
}

// Whom a query ID asks: unconfigured nodes, selected nodes, or nodes that are both.
enum class QueryIdScope : std::uint8_t { Unconfigured = 0, Selected = 1, SelectedUnconfigured = 2 };

using ProgramId = std::array<std::uint8_t, 8>;

// What a reader found: the node's success answer, its failure answer, or bytes that answer
// something else (a wrong code, a wrong index, a wrong length).
enum class Reply : std::uint8_t { Success, Failure, Foreign };

// NV fetch: 0x73 and the index; indexes from 255 on escape as 0xFF, index high, index low.
Bytes NvFetchRequest(std::uint16_t index);
// The value bytes of the node's answer for that index.
Reply ReadNvFetchResponse(ByteView apdu, std::uint16_t index, Bytes& value);

// Query NV configuration, with the same index forms as the fetch.
Bytes QueryNvConfigRequest(std::uint16_t index);

// An NV's configuration entry: where updates to it go and how.
struct NvConfig {
    bool priority = false;
    bool output = false;
    std::uint16_t selector = 0;  // 0-0x3FFF
    bool turnaround = false;
    std::uint8_t service = 0;  // 0 acknowledged, 1 repeated, 2 unacknowledged
    bool authenticated = false;
    std::uint8_t addressIndex = 0;  // 15: not bound
    bool operator==(const NvConfig&) const = default;
};
Reply ReadNvConfigResponse(ByteView apdu, NvConfig& config);

Bytes QueryIdRequest(QueryIdScope scope);

struct NodeIdentity {
    NeuronId neuronId{};
    ProgramId programId{};
    bool operator==(const NodeIdentity&) const = default;
};
Reply ReadQueryIdResponse(ByteView apdu, NodeIdentity& identity);
// A service pin message a node broadcasts on its own: 0x7F, Neuron ID, Program ID.
std::optional<NodeIdentity> ReadServicePin(ByteView apdu);
Bytes ServicePinMessage(const NodeIdentity& identity);

// The selector an input NV has while it is not bound.
constexpr std::uint16_t UnboundSelector(std::uint16_t index) {
    return static_cast<std::uint16_t>(0x3FFF - index);
}
// An NV update of an input NV by its selector; the direction bit stays clear.
Bytes NvUpdate(std::uint16_t selector, ByteView value);

// Respond to query: selects the node (true) for a query ID of the selected scope, or ends it.
Bytes RespondToQueryRequest(bool selected);

// ---- the node's side: what a node reads from a request and answers ----

// The index of an NV fetch or query NV configuration request with that code, in either form.
std::optional<std::uint16_t> ReadIndexRequest(ByteView apdu, std::uint8_t code);
Bytes NvFetchResponse(ByteView request, ByteView value);
Bytes NvConfigResponse(const NvConfig& config);
Bytes QueryIdResponse(const NodeIdentity& identity);
// The failure response to a request with that code.
Bytes NmFailureResponse(std::uint8_t code);
// The selector and value of an NV update; nothing for any other APDU.
struct NvUpdateMessage {
    std::uint16_t selector = 0;
    Bytes value;
};
std::optional<NvUpdateMessage> ReadNvUpdate(ByteView apdu);

}  // namespace lon
