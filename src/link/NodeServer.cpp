#include "link/NodeServer.h"

#include <algorithm>
#include <cmath>

#include "lon/Ft10.h"
#include "node/NodeVariableMap.h"

namespace host {

NodeServer::NodeServer(SimNode& node, lon::Channel& channel, lon::Clock& clock,
                       ServedIdentity identity, ServedFaults faults)
    : node_(node),
      channel_(channel),
      clock_(clock),
      identity_(identity),
      faults_(std::move(faults)),
      random_(faults_.seed) {}

void NodeServer::ServeUntil(lon::Millis deadline) {
    // A deadline already reached still answers everything that has arrived, and every answer
    // due is sent before returning.
    bool arrived = false;
    do {
        const lon::Millis wake = pending_.empty() ? deadline : std::min(deadline, pending_[0].due);
        const std::optional<lon::Packet> packet = channel_.Receive(wake);
        arrived = packet.has_value();
        if (arrived) {
            Handle(*packet);
        }
        SendDue();
    } while (arrived || clock_.Now() < deadline || !pending_.empty());
}

void NodeServer::SendServicePin() {
    lon::Packet pin;
    pin.format = lon::PduFormat::Application;
    pin.address.kind = lon::AddressKind::Broadcast;
    pin.address.source = identity_.address;
    pin.domain = identity_.domain;
    pin.body = lon::ServicePinMessage({identity_.neuronId, node_.GetProgramId()});
    channel_.Send(pin);
}

bool NodeServer::ForThisNode(const lon::Packet& packet) const {
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

bool NodeServer::Lost() {
    ++arrived_;
    const bool everyNth = faults_.dropEvery > 0 && arrived_ % faults_.dropEvery == 0;
    const bool share = faults_.dropPercent > 0 &&
                       std::uniform_int_distribution<int>(0, 99)(random_) < faults_.dropPercent;
    return everyNth || share;
}

void NodeServer::Handle(const lon::Packet& packet) {
    if (!ForThisNode(packet)) {
        return;
    }
    if (Lost()) {
        ++dropped_;
        return;
    }
    if (faults_.silent) {
        return;
    }
    const bool request =
        packet.format == lon::PduFormat::Session && packet.type == lon::kSpduRequest;
    const bool acknowledged =
        packet.format == lon::PduFormat::Transport && packet.type == lon::kTpduAcknowledged;
    if (!request && !acknowledged) {
        return;
    }
    // A retry of the sender's last transaction: the same answer again, nothing applied twice.
    const auto sender =
        std::make_pair(int{packet.address.source.subnet}, int{packet.address.source.node});
    if (const auto it = last_.find(sender);
        it != last_.end() && it->second.request.transaction == packet.transaction &&
        it->second.request.format == packet.format && it->second.request.body == packet.body) {
        ++repeats_;
        if (it->second.answer) {
            Send(*it->second.answer, Due(packet, *it->second.answer));
        }
        return;
    }
    Remembered remembered{packet, std::nullopt};
    if (request) {
        if (std::optional<lon::Bytes> apdu = AnswerRequest(packet.body)) {
            remembered.answer = AnswerPacket(packet, std::move(*apdu));
        }
    } else if (TakeUpdate(packet.body)) {
        remembered.answer = AnswerPacket(packet, {});
    }
    if (remembered.answer) {
        Send(*remembered.answer, Due(packet, *remembered.answer));
    }
    last_[sender] = std::move(remembered);
}

std::optional<lon::Bytes> NodeServer::AnswerRequest(lon::ByteView apdu) {
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
    const nv::Variable* variable = index ? nv::Find(*index) : nullptr;
    if (variable == nullptr) {
        return lon::NmFailureResponse(code);
    }
    if (code == lon::kNmQueryNvConfig) {
        lon::NvConfig config;
        config.selector = lon::UnboundSelector(*index);
        config.addressIndex = 15;
        return lon::NvConfigResponse(config);
    }
    if (code == lon::kNmNvFetch) {
        lon::Bytes value(static_cast<std::size_t>(std::max(variable->size, nv::kBufferSize)));
        if (node_.ReadNv(*index, value.data(), static_cast<std::int32_t>(value.size())) != S_OK) {
            return lon::NmFailureResponse(code);
        }
        value.resize(static_cast<std::size_t>(variable->size));
        return lon::NvFetchResponse(apdu, value);
    }
    return lon::NmFailureResponse(code);
}

bool NodeServer::TakeUpdate(lon::ByteView apdu) {
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

lon::Packet NodeServer::AnswerPacket(const lon::Packet& request, lon::Bytes apdu) const {
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

lon::Millis NodeServer::Due(const lon::Packet& request, const lon::Packet& answer) {
    const lon::Millis now = clock_.Now();
    if (!paced_) {
        return now + faults_.late;
    }
    const double seconds = lon::Ft10FrameSeconds(lon::Encode(request).size()) +
                           lon::Ft10FrameSeconds(lon::Encode(answer).size());
    channelSeconds_ += seconds;
    channelFreeMs_ = std::max(channelFreeMs_, static_cast<double>(now.count())) + 1000 * seconds;
    return lon::Millis(static_cast<std::int64_t>(std::ceil(channelFreeMs_))) + faults_.late;
}

void NodeServer::Send(const lon::Packet& packet, lon::Millis due) {
    ++answers_;
    const int copies = faults_.duplicateEvery > 0 && answers_ % faults_.duplicateEvery == 0 ? 2 : 1;
    for (int i = 0; i < copies; ++i) {
        Pending answer{due, channel_.Frame(packet)};
        if (faults_.reorderEvery > 0 && answers_ % faults_.reorderEvery == 0 && !held_) {
            held_ = std::move(answer);
            continue;
        }
        pending_.push_back(std::move(answer));
        // The answer kept back follows this one, with the older sequence number.
        if (held_) {
            held_->due = due;
            pending_.push_back(std::move(*held_));
            held_.reset();
        }
    }
    SendDue();
}

void NodeServer::SendDue() {
    while (!pending_.empty() && pending_.front().due <= clock_.Now()) {
        channel_.SendFrame(pending_.front().frame);
        pending_.pop_front();
    }
}

ServingThread::ServingThread(SimNode& node, const ServedFaults& faults, ServedIdentity identity,
                             ServedChannel channel)
    : udp_(clock_, "127.0.0.1", 0),
      channel_(udp_, clock_, {channel.secret, 0x5E4E0001u, 0}),
      server_(node, channel_, clock_, identity, faults) {
    udp_.FollowSender();
    if (channel.paced) {
        server_.PaceAsFt10();
    }
    thread_ = std::thread([this] {
        while (!stop_) {
            server_.ServeUntil(clock_.Now() + lon::Millis(20));
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
