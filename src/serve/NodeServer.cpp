#include "serve/NodeServer.h"

#include <algorithm>
#include <cmath>

#include "lon/Ft10.h"
#include "node/NodeVariableMap.h"

namespace host {

ServedNode::ServedNode(SimNode& node, ServedIdentity identity, ServedFaults faults)
    : node_(node), identity_(identity), faults_(std::move(faults)), random_(faults_.seed) {}

bool ServedNode::ForThisNode(const lon::Packet& packet) const {
    if (packet.domain != identity_.domain) {
        return false;
    }
    switch (packet.address.kind) {
        case lon::AddressKind::SubnetNode:
            return packet.address.destination == identity_.address;
        case lon::AddressKind::NeuronId:
            return packet.address.neuronId == identity_.neuronId;
        case lon::AddressKind::Broadcast:
            return packet.address.destination.subnet == 0 ||
                   packet.address.destination.subnet == identity_.address.subnet;
        default:
            return false;
    }
}

lon::Packet ServedNode::ServicePin() const {
    lon::Packet pin;
    pin.format = lon::PduFormat::Application;
    pin.address.kind = lon::AddressKind::Broadcast;
    pin.address.source = identity_.address;
    pin.domain = identity_.domain;
    pin.body = lon::ServicePinMessage({identity_.neuronId, node_.GetProgramId()});
    return pin;
}

bool ServedNode::Lost() {
    ++arrived_;
    const bool everyNth = faults_.dropEvery > 0 && arrived_ % faults_.dropEvery == 0;
    const bool share = faults_.dropPercent > 0 &&
                       std::uniform_int_distribution<int>(0, 99)(random_) < faults_.dropPercent;
    return everyNth || share;
}

std::optional<ServedNode::Reply> ServedNode::Answer(const lon::Packet& packet) {
    if (Lost()) {
        ++dropped_;
        return std::nullopt;
    }
    if (faults_.silent) {
        return std::nullopt;
    }
    // Respond to query sent unacknowledged, as discovery broadcasts it: selected, no answer.
    const lon::ByteView body = packet.body;
    if (packet.format == lon::PduFormat::Application && body.size() == 2 &&
        body[0] == lon::kNmRespondToQuery) {
        selected_ = body[1] != 0;
        return std::nullopt;
    }
    const bool request =
        packet.format == lon::PduFormat::Session && packet.type == lon::kSpduRequest;
    const bool acknowledged =
        packet.format == lon::PduFormat::Transport && packet.type == lon::kTpduAcknowledged;
    if (!request && !acknowledged) {
        return std::nullopt;
    }
    // A retry of the sender's last transaction: the same answer again, nothing applied twice.
    const auto sender =
        std::make_pair(int{packet.address.source.subnet}, int{packet.address.source.node});
    if (const auto it = last_.find(sender);
        it != last_.end() && it->second.request.transaction == packet.transaction &&
        it->second.request.format == packet.format && it->second.request.body == packet.body) {
        ++repeats_;
        if (!it->second.answer) {
            return std::nullopt;
        }
        return Leaving(*it->second.answer);
    }
    Remembered& remembered = last_[sender] = {packet, AnswerNew(packet)};
    if (!remembered.answer) {
        return std::nullopt;
    }
    return Leaving(*remembered.answer);
}

std::optional<lon::Packet> ServedNode::AnswerNew(const lon::Packet& packet) {
    if (packet.format == lon::PduFormat::Session) {
        if (std::optional<lon::Bytes> apdu = AnswerRequest(packet.body)) {
            return AnswerPacket(packet, std::move(*apdu));
        }
    } else if (TakeUpdate(packet.body)) {
        return AnswerPacket(packet, {});
    }
    return std::nullopt;
}

ServedNode::Reply ServedNode::Leaving(lon::Packet answer) {
    ++answers_;
    Reply reply{std::move(answer)};
    reply.copies = faults_.duplicateEvery > 0 && answers_ % faults_.duplicateEvery == 0 ? 2 : 1;
    reply.holdBack = faults_.reorderEvery > 0 && answers_ % faults_.reorderEvery == 0;
    return reply;
}

std::optional<lon::Bytes> ServedNode::AnswerRequest(lon::ByteView apdu) {
    if (apdu.empty() || apdu[0] < 0x60 || apdu[0] > 0x7F) {
        return std::nullopt;
    }
    const std::uint8_t code = apdu[0];
    if (code == lon::kNmRespondToQuery && apdu.size() == 2) {
        selected_ = apdu[1] != 0;
        return lon::Bytes{lon::NmSuccess(code)};
    }
    if (code == lon::kNmQueryId && apdu.size() >= 2) {
        // A configured node answers only while it is selected, an unconfigured one also to a
        // query of the unconfigured nodes.
        const auto scope = static_cast<lon::QueryIdScope>(apdu[1]);
        const bool answers = (scope == lon::QueryIdScope::Selected && selected_) ||
                             (scope == lon::QueryIdScope::Unconfigured && !identity_.configured) ||
                             (scope == lon::QueryIdScope::SelectedUnconfigured && selected_ &&
                              !identity_.configured);
        if (!answers) {
            return std::nullopt;
        }
        return lon::QueryIdResponse({identity_.neuronId, node_.GetProgramId()});
    }
    const std::optional<std::uint16_t> index = lon::ReadIndexRequest(apdu, code);
    if (index && code == lon::kNmNvFetch) {
        return Fetch(*index, apdu);
    }
    if (index && code == lon::kNmQueryNvConfig && nv::Find(*index) != nullptr) {
        lon::NvConfig config;
        config.selector = lon::UnboundSelector(*index);
        config.addressIndex = 15;
        return lon::NvConfigResponse(config);
    }
    return lon::NmFailureResponse(code);
}

std::optional<lon::Bytes> ServedNode::Fetch(std::uint16_t index, lon::ByteView apdu) {
    const int size = nv::SizeOf(index);
    lon::Bytes value(static_cast<std::size_t>(std::max(size, nv::kBufferSize)));
    const auto length = static_cast<std::int32_t>(value.size());
    const HRESULT read = index == nv::kNodeName ? node_.GetNodeName(value.data(), length)
                                                : node_.ReadNv(index, value.data(), length);
    if (size == 0 || read != S_OK) {
        return lon::NmFailureResponse(lon::kNmNvFetch);
    }
    value.resize(static_cast<std::size_t>(faults_.answerBytes > 0 ? faults_.answerBytes : size));
    return lon::NvFetchResponse(apdu, value);
}

bool ServedNode::TakeUpdate(lon::ByteView apdu) {
    const std::optional<lon::NvUpdateMessage> update = lon::ReadNvUpdate(apdu);
    if (!update || update->value.empty() || update->selector > 0x3FFF) {
        return false;
    }
    const int index = 0x3FFF - update->selector;
    if (faults_.refusedNvs.count(index) != 0 || nv::Find(index) == nullptr) {
        return false;
    }
    return node_.WriteNv(index, update->value.data(),
                         static_cast<std::int32_t>(update->value.size())) == S_OK;
}

lon::Packet ServedNode::AnswerPacket(const lon::Packet& request, lon::Bytes apdu) const {
    lon::Packet answer;
    answer.format = request.format;
    answer.type = request.format == lon::PduFormat::Session ? lon::kSpduResponse : lon::kTpduAck;
    answer.address.kind = lon::AddressKind::SubnetNode;
    answer.address.source = identity_.address;
    answer.address.destination = request.address.source;
    answer.domain = request.domain;
    answer.transaction = request.transaction;
    answer.body = std::move(apdu);
    return answer;
}

ChannelServer::ChannelServer(lon::Channel& channel, lon::Clock& clock)
    : channel_(channel), clock_(clock) {}

void ChannelServer::ServeUntil(lon::Millis deadline) {
    // A deadline already reached still answers everything that has arrived, and every answer
    // due is sent before returning.
    bool arrived = false;
    do {
        // Past the deadline an answer still pending is waited for, never polled for.
        const lon::Millis wake = pending_.empty() ? deadline
                                 : clock_.Now() >= deadline
                                     ? pending_.begin()->first
                                     : std::min(deadline, pending_.begin()->first);
        const std::optional<lon::Packet> packet = channel_.Receive(wake);
        arrived = packet.has_value();
        if (arrived) {
            Handle(*packet, channel_.LastFrom());
        }
        SendDue();
    } while (arrived || clock_.Now() < deadline || !pending_.empty());
}

void ChannelServer::SetMembership(RouterMembership& membership) {
    membership_ = &membership;
    membership.Attach(channel_);
}

void ChannelServer::SendServicePins() {
    for (const ServedNode* node : nodes_) {
        if (membership_ == nullptr) {
            channel_.Send(node->ServicePin());
            continue;
        }
        for (const lon::Endpoint& member : membership_->Recipients()) {
            channel_.SendTo(node->ServicePin(), member);
        }
    }
}

void ChannelServer::Handle(const lon::Packet& packet, const lon::Endpoint& from) {
    // A broadcast crosses the channel once, however many nodes answer it.
    bool requestCarried = false;
    for (ServedNode* node : nodes_) {
        if (!node->ForThisNode(packet)) {
            continue;
        }
        if (std::optional<ServedNode::Reply> reply = node->Answer(packet)) {
            const lon::Millis due = Due(packet, requestCarried, reply->packet, node->Late());
            requestCarried = true;
            Send(std::move(*reply), due, from);
        }
    }
    SendDue();
}

lon::Millis ChannelServer::Due(const lon::Packet& request, bool requestCarried,
                               const lon::Packet& answer, lon::Millis late) {
    const lon::Millis now = clock_.Now();
    if (!paced_) {
        return now + late;
    }
    const double seconds =
        (requestCarried ? 0 : lon::Ft10FrameSeconds(lon::Encode(request).size())) +
        lon::Ft10FrameSeconds(lon::Encode(answer).size());
    channelSeconds_ += seconds;
    channelFreeMs_ = std::max(channelFreeMs_, static_cast<double>(now.count())) + 1000 * seconds;
    return lon::Millis(static_cast<std::int64_t>(std::ceil(channelFreeMs_))) + late;
}

void ChannelServer::Send(ServedNode::Reply reply, lon::Millis due, const lon::Endpoint& to) {
    for (int i = 0; i < reply.copies; ++i) {
        if (reply.holdBack && !held_) {
            // Numbered now, it goes out after the next answer, out of sequence.
            held_ = Pending{reply.packet, channel_.Frame(reply.packet), to};
            continue;
        }
        pending_.emplace(due, Pending{reply.packet, std::nullopt, to});
        if (held_) {
            pending_.emplace(due, std::move(*held_));
            held_.reset();
        }
    }
}

void ChannelServer::SendDue() {
    while (!pending_.empty() && pending_.begin()->first <= clock_.Now()) {
        const Pending& next = pending_.begin()->second;
        channel_.SendFrameTo(next.frame ? *next.frame : channel_.Frame(next.packet), next.to);
        pending_.erase(pending_.begin());
    }
}

std::uint64_t ChannelServer::Dropped() const {
    std::uint64_t dropped = 0;
    for (const ServedNode* node : nodes_) {
        dropped += node->Dropped();
    }
    return dropped;
}

std::uint64_t ChannelServer::Repeats() const {
    std::uint64_t repeats = 0;
    for (const ServedNode* node : nodes_) {
        repeats += node->Repeats();
    }
    return repeats;
}

NodeServer::NodeServer(SimNode& node, lon::Channel& channel, lon::Clock& clock,
                       ServedIdentity identity, ServedFaults faults)
    : node_(node, identity, std::move(faults)), server_(channel, clock) {
    server_.Add(node_);
}

namespace {

// A served channel's router on 127.0.0.1: the subnets of its nodes in their domain.
RouterIdentity Identity(std::uint16_t port, const std::vector<ChannelMember>& members) {
    RouterIdentity identity;
    identity.self = {0x7F000001, port};
    identity.name = "Vireo served router";
    for (const ChannelMember& member : members) {
        identity.nodes.push_back(member.identity.address);
        identity.domain = member.identity.domain;
    }
    return identity;
}

}  // namespace

ServingThread::ServingThread(SimNode& node, const ServedFaults& faults, ServedIdentity identity,
                             ServedChannel channel)
    : ServingThread({ChannelMember{&node, identity, faults}}, std::move(channel)) {}

ServingThread::ServingThread(const std::vector<ChannelMember>& members, ServedChannel channel,
                             std::uint16_t port)
    : udp_(clock_, "127.0.0.1", port),
      channel_(udp_, clock_,
               {.secret = channel.secret,
                .session = lon::NewSessionId(),
                .vendor = 0,
                .timeSynced = channel.timeSynced,
                .channelTimeout = lon::Millis(1000),
                .wall = nullptr}),
      membership_(channel.rules, Identity(udp_.LocalPort(), members)),
      server_(channel_, clock_) {
    udp_.AcceptAnyone();
    server_.SetMembership(membership_);
    for (const ChannelMember& member : members) {
        server_.Add(nodes_.emplace_back(*member.node, member.identity, member.faults));
    }
    if (channel.paced) {
        server_.PaceAsFt10();
    }
    thread_ = std::thread([this] {
        while (!stop_) {
            server_.ServeUntil(clock_.Now() + lon::Millis(20));
            membership_.Tick();
            if (pins_.exchange(false)) {
                server_.SendServicePins();
            }
        }
    });
}

ServingThread::~ServingThread() {
    Stop();
}

void ServingThread::Stop() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
}

}  // namespace host
