#include "link/LonNode.h"

#include <algorithm>
#include <array>
#include <system_error>

#include "link/MemberMemory.h"
#include "node/NodeInterfaces.h"
#include "node/NodeVariableMap.h"

namespace host {
LonNode::LonNode(LinkSettings settings) : settings_(std::move(settings)) {}

LonNode::LonNode(LinkSettings settings, lon::Datagram& network)
    : settings_(std::move(settings)), network_(&network) {}

LonNode::LonNode(SharedChannel& channel, const lon::Target& node, std::string name)
    : settings_(channel.Settings()), shared_(&channel) {
    settings_.node = node;
    settings_.name = std::move(name);
}

LonNode::~LonNode() {
    if (udp_ && channel_) {
        KeepMembers(*channel_);
    }
}

std::optional<std::string> LonNode::OpenChannel() {
    if (shared_ != nullptr) {
        sharedPort_ = shared_->NodePort(settings_.node);
        transactions_ = std::make_unique<lon::Transactions>(
            *sharedPort_, shared_->Clock(), settings_.source, settings_.domain, settings_.retry);
        transactions_->ShareNumbers([this] { return shared_->Numbers().Next(); });
        return std::nullopt;
    }
    if (network_ == nullptr) {
        try {
            udp_ = std::make_unique<lon::UdpDatagram>(clock_, "0.0.0.0", settings_.localPort);
            udp_->SetPeer(settings_.router, settings_.port);
        } catch (const std::system_error& error) {
            return "router " + LinkUrl(settings_) + ": " + error.what();
        }
        network_ = udp_.get();
    }
    channel_ = std::make_unique<lon::Channel>(*network_, clock_, ChannelOptions(settings_));
    if (udp_) {
        RecallMembers(*channel_);
    }
    if (udp_ && (member_ = MemberConfiguration::For(settings_, *udp_))) {
        member_->Attach(*channel_);
    }
    transactions_ = std::make_unique<lon::Transactions>(*channel_, clock_, settings_.source,
                                                        settings_.domain, settings_.retry);
    if (udp_) {
        numbers_ = std::make_unique<TransactionCount>(
            TransactionCount::PathFor(settings_.domain, settings_.source));
        transactions_->ShareNumbers([this] { return numbers_->Next(); });
    }
    if (!settings_.capture.empty()) {
        if (auto problem = capture_.Open(settings_.capture)) {
            return problem;
        }
        channel_->SetCapture([this](bool outgoing, lon::ByteView datagram, const lon::Endpoint&) {
            capture_.Write(outgoing, udp_ ? udp_->LocalPort() : 0, settings_, datagram);
        });
    }
    return std::nullopt;
}

std::optional<std::string> LonNode::Open() {
    if (auto problem = OpenChannel()) {
        return problem;
    }
    // A configured node answers a query ID only while it is selected: select it, ask, and end
    // the selection again.
    const std::string who = "query ID";
    if (!Transact(lon::Service::Request, lon::RespondToQueryRequest(true), who)) {
        return lastError_;
    }
    const std::optional<lon::Bytes> answer =
        Transact(lon::Service::Request, lon::QueryIdRequest(lon::QueryIdScope::Selected), who);
    Transact(lon::Service::Request, lon::RespondToQueryRequest(false), who);
    if (!answer) {
        return lastError_;
    }
    if (lon::ReadQueryIdResponse(*answer, identity_) != lon::Reply::Success) {
        return "node " + TargetText(settings_.node) + " at " + LinkUrl(settings_) +
               " did not tell its Program ID";
    }
    name_ = settings_.name.empty() ? ReadName() : settings_.name;
    identity = LinkUrl(settings_) + " " + NeuronIdText(identity_.neuronId);
    lastError_.clear();
    return std::nullopt;
}

void LonNode::Fail(const std::string& line) {
    lastError_ = line;
}

std::uint64_t LonNode::Refusals() const {
    return udp_ ? udp_->Refusals() : shared_ != nullptr ? shared_->Refusals() : 0;
}

std::string LonNode::ReadName() {
    std::array<std::uint8_t, nv::kNodeNameSize> name{};
    if (shared_ == nullptr || ReadNv(nv::kNodeName, name.data(), nv::kNodeNameSize) != S_OK ||
        name[0] == 0) {
        return NeuronIdText(identity_.neuronId);
    }
    return std::string(reinterpret_cast<const char*>(name.data()),
                       std::find(name.begin(), name.end(), std::uint8_t{0}) - name.begin());
}

lon::ChannelCounters LonNode::CountersNow() const {
    return shared_ != nullptr ? shared_->CountersNow() : channel_->Counters();
}

LonNode::Unanswered LonNode::WhyUnanswered(const lon::ChannelCounters& before,
                                           std::uint64_t refusedBefore, std::uint64_t ignoredBefore,
                                           std::uint64_t lateBefore) const {
    const lon::ChannelCounters now = CountersNow();
    if (Refusals() > refusedBefore) {
        return {"; nothing listens on the router's port", true};
    }
    if (now.badDigest > before.badDigest) {
        return {
            "; what came back failed the channel's authentication: the channel's secret may "
            "differ",
            true};
    }
    if (now.stale > before.stale) {
        return {
            "; what came back was stale: this PC's clock and the router's differ by more than "
            "the channel timeout",
            true};
    }
    // The node asked answered, but each answer was for a transaction that had ended: the
    // channel delays its answers beyond the transmit timer.
    const std::uint64_t late = transactions_->LateAnswers() - lateBefore;
    const std::uint64_t ignored = transactions_->IgnoredAnswers() - ignoredBefore;
    if (ignored > 0 && late == ignored) {
        return {"; answers came late (for an earlier transaction)"};
    }
    if (ignored > 0) {
        return {"; answers came from another node, or for another transaction"};
    }
    if (now.received == before.received && now.foreign == before.foreign) {
        // A router drops what comes from a non-member, and on an authenticated channel what
        // fails its digest, without a word.
        return {std::string("; nothing came back: is this PC a member of the router's channel? "
                            "see `vireo site configure`") +
                (settings_.secret.empty() ? "" : "; or the channel's secret may differ")};
    }
    return {};
}

std::optional<lon::Bytes> LonNode::Transact(lon::Service service, const lon::Bytes& apdu,
                                            const std::string& what) {
    const std::uint64_t refusedBefore = Refusals();
    const std::uint64_t ignoredBefore = transactions_->IgnoredAnswers();
    const std::uint64_t lateBefore = transactions_->LateAnswers();
    const lon::ChannelCounters before = CountersNow();
    const lon::Outcome outcome = transactions_->Run(settings_.node, service, apdu);
    unreachable_ = false;
    if (!outcome.completed) {
        // Why nothing answered, where the network told us.
        const Unanswered unanswered =
            WhyUnanswered(before, refusedBefore, ignoredBefore, lateBefore);
        unreachable_ = unanswered.unreachable;
        Fail("node " + TargetText(settings_.node) + " did not answer " + what + " after " +
             std::to_string(outcome.tries) + " tries (router " + LinkUrl(settings_) + ")" +
             unanswered.why);
        return std::nullopt;
    }
    return outcome.response;
}

std::optional<std::uint16_t> LonNode::Selector(int index) {
    if (const auto it = selectors_.find(index); it != selectors_.end()) {
        return it->second;
    }
    const std::string what = "the configuration query of NV " + std::to_string(index);
    const std::optional<lon::Bytes> answer = Transact(
        lon::Service::Request, lon::QueryNvConfigRequest(static_cast<std::uint16_t>(index)), what);
    if (!answer) {
        return std::nullopt;
    }
    lon::NvConfig config;
    if (lon::ReadNvConfigResponse(*answer, config) != lon::Reply::Success || config.output) {
        Fail("node " + TargetText(settings_.node) + " has no input NV " + std::to_string(index));
        return std::nullopt;
    }
    selectors_[index] = config.selector;
    return config.selector;
}

HRESULT LonNode::ReadNv(std::int32_t index, std::uint8_t* buffer, std::int32_t length) {
    if (buffer == nullptr || length <= 0) {
        return E_POINTER;
    }
    if (index < 0 || index > 0x3FFF) {
        return E_FAIL;
    }
    const auto nvIndex = static_cast<std::uint16_t>(index);
    const std::string what = "the read of NV " + std::to_string(index);
    const std::optional<lon::Bytes> answer =
        Transact(lon::Service::Request, lon::NvFetchRequest(nvIndex), what);
    if (!answer) {
        return Failed();
    }
    lon::Bytes value;
    const lon::Reply reply = lon::ReadNvFetchResponse(*answer, nvIndex, value);
    if (reply != lon::Reply::Success || value.empty()) {
        Fail("node " + TargetText(settings_.node) +
             (reply == lon::Reply::Failure ? " refused " : " answered something else to ") + what);
        return E_FAIL;
    }
    // A value of another size than the NV's is no answer to this read: padded or cut, it would
    // pass for the node's value.
    const auto room = static_cast<std::size_t>(length);
    const int known = nv::SizeOf(index);
    const std::size_t holds =
        std::min(known > 0 ? static_cast<std::size_t>(known) : value.size(), room);
    if (value.size() != holds) {
        Fail("node " + TargetText(settings_.node) + " answered " + std::to_string(value.size()) +
             " bytes for NV " + std::to_string(index) + ", which holds " + std::to_string(holds));
        return E_FAIL;
    }
    std::fill_n(buffer, length, std::uint8_t{0});
    std::copy(value.begin(), value.end(), buffer);
    return S_OK;
}

HRESULT LonNode::WriteNv(std::int32_t index, const std::uint8_t* buffer, std::int32_t length) {
    if (buffer == nullptr || length <= 0) {
        return E_POINTER;
    }
    if (index < 0 || index > 0x3FFF) {
        return E_FAIL;
    }
    const std::optional<std::uint16_t> selector = Selector(index);
    if (!selector) {
        return Failed();
    }
    // One acknowledged update: a retry carries the same transaction number, so the node takes
    // it once.
    const lon::Bytes update =
        lon::NvUpdate(*selector, lon::ByteView(buffer, static_cast<std::size_t>(length)));
    return Transact(lon::Service::Acknowledged, update, "the write of NV " + std::to_string(index))
               ? S_OK
               : Failed();
}

HRESULT LonNode::Failed() const {
    return unreachable_ ? NODE_E_UNREACHABLE : E_FAIL;
}

HRESULT LonNode::GetNodeName(std::uint8_t* buffer, std::int32_t length) {
    if (buffer == nullptr || length <= 0 || name_.empty()) {
        return E_FAIL;
    }
    std::fill_n(buffer, length, std::uint8_t{0});
    std::copy_n(name_.begin(), std::min(name_.size(), static_cast<std::size_t>(length)), buffer);
    return S_OK;
}

}  // namespace host
