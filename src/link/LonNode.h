#pragma once
// A node reached over a LON/IP channel, as the host's reader and writer need it: a read is an NV
// fetch by index, a write an NV update by the selector the node's configuration gives that NV
// (learned once and kept for the session), each a transaction with its retries that blocks until
// the node answers or the last try times out. Opening the node reads its Neuron ID and Program
// ID. A failed call leaves the line that says which router, node, NV and how many tries.

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "link/CaptureFile.h"
#include "link/LinkSettings.h"
#include "link/SharedChannel.h"
#include "lon/Channel.h"
#include "lon/NetworkManagement.h"
#include "lon/Transactions.h"
#include "lon/UdpDatagram.h"
#include "node/NodeAccess.h"

namespace host {

class LonNode final : public NodeAccess {
public:
    explicit LonNode(LinkSettings settings);
    // Over a network of the caller's instead of a UDP socket of its own (not owned; it must
    // outlive the node): the router and port then only name the node in messages.
    LonNode(LinkSettings settings, lon::Datagram& network);
    // One of the nodes behind a router, over the channel they share (not owned; it must outlive
    // the node), which must be open. Without a name, opening reads the node's name NV.
    LonNode(SharedChannel& channel, const lon::Target& node, std::string name = {});
    ~LonNode() override;
    LonNode(const LonNode&) = delete;
    LonNode& operator=(const LonNode&) = delete;

    // Opens the socket and the capture file and asks the node who it is; the error line, or
    // nothing.
    std::optional<std::string> Open();

    HRESULT ReadNv(std::int32_t index, std::uint8_t* buffer, std::int32_t length) override;
    HRESULT WriteNv(std::int32_t index, const std::uint8_t* buffer, std::int32_t length) override;
    HRESULT GetNodeName(std::uint8_t* buffer, std::int32_t length) override;

    const lon::NodeIdentity& Identity() const { return identity_; }
    const std::string& Name() const { return name_; }
    // Why the last failed call failed; empty while none has.
    const std::string& LastError() const { return lastError_; }
    std::string LastProblem() const override { return lastError_; }
    const lon::ChannelCounters& Counters() const {
        return shared_ != nullptr ? shared_->Counters() : channel_->Counters();
    }

private:
    // Runs one transaction; on failure notes why, naming what it was for.
    std::optional<lon::Bytes> Transact(lon::Service service, const lon::Bytes& apdu,
                                       const std::string& what);
    std::optional<std::uint16_t> Selector(int index);
    void Fail(const std::string& line);
    std::optional<std::string> OpenChannel();
    // The node's name NV, where it has one; else its Neuron ID.
    std::string ReadName();
    std::uint64_t Refusals() const;
    lon::ChannelCounters CountersNow() const;
    // What the channel saw while a transaction went unanswered, as the end of its error line,
    // and whether it tells that no later transaction can be answered either: nothing listens
    // on the router's port, or what came back can never be taken (its authentication or its
    // timestamp failed). A silence is not: the node may refuse only that variable.
    struct Unanswered {
        std::string why;
        bool unreachable = false;
    };
    Unanswered WhyUnanswered(const lon::ChannelCounters& before, std::uint64_t refusedBefore,
                             std::uint64_t ignoredBefore, std::uint64_t lateBefore) const;
    // The answer for a failed call: NODE_E_UNREACHABLE when its transaction found the node
    // unreachable, else E_FAIL.
    HRESULT Failed() const;

    LinkSettings settings_;
    lon::SteadyClock clock_;
    std::unique_ptr<lon::UdpDatagram> udp_;
    lon::Datagram* network_ = nullptr;  // udp_, or the caller's
    std::unique_ptr<lon::Channel> channel_;
    std::unique_ptr<MemberConfiguration> member_;
    SharedChannel* shared_ = nullptr;
    std::unique_ptr<lon::PacketPort> sharedPort_;
    std::unique_ptr<TransactionCount> numbers_;  // over a socket of its own
    std::unique_ptr<lon::Transactions> transactions_;
    CaptureFile capture_;
    std::map<int, std::uint16_t> selectors_;
    lon::NodeIdentity identity_;
    std::string name_;
    std::string lastError_;
    bool unreachable_ = false;  // the last transaction found the node unreachable
};

}  // namespace host
