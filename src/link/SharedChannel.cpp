#include "link/SharedChannel.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <system_error>

#include "link/MemberMemory.h"

namespace host {

class SharedChannel::Port final : public lon::PacketPort {
public:
    Port(SharedChannel& channel, std::optional<lon::Target> node) : channel_(channel), node(node) {}
    ~Port() override { channel_.Remove(this); }

    bool Send(const lon::Packet& packet) override { return channel_.Send(*this, packet); }
    std::optional<lon::Packet> Receive(lon::Millis deadline) override {
        return channel_.Receive(*this, deadline);
    }

    // Whether the packet comes from this port's node, as far as its address tells.
    bool From(const lon::Packet& packet) const {
        const lon::SubnetNode source = packet.address.source;
        return (node && !node->byNeuronId && node->node == source) || heardFrom == source;
    }

    SharedChannel& channel_;
    const std::optional<lon::Target> node;  // nothing: the listener
    // Under the channel's mutex.
    std::optional<lon::SubnetNode> heardFrom;  // where a node named by Neuron ID answered from
    std::optional<std::uint8_t> waitingFor;    // the transaction of the last request sent
    std::deque<lon::Packet> inbox;
    bool waiting = false;          // waits for another caller's turn to end
    std::condition_variable wake;  // what it waits on
};

SharedChannel::SharedChannel(LinkSettings settings) : settings_(std::move(settings)) {}

SharedChannel::~SharedChannel() {
    if (channel_) {
        KeepMembers(*channel_);
    }
}

std::optional<std::string> SharedChannel::Open() {
    try {
        udp_ = std::make_unique<lon::UdpDatagram>(clock_, "0.0.0.0", settings_.localPort);
        udp_->SetPeer(settings_.router, settings_.port);
    } catch (const std::system_error& error) {
        return "router " + LinkUrl(settings_) + ": " + error.what();
    }
    channel_ = std::make_unique<lon::Channel>(*udp_, clock_, ChannelOptions(settings_));
    RecallMembers(*channel_);
    numbers_ = std::make_unique<TransactionCount>(
        TransactionCount::PathFor(settings_.domain, settings_.source));
    if ((member_ = MemberConfiguration::For(settings_, *udp_))) {
        member_->Attach(*channel_, &sendMutex_);
    }
    if (!settings_.capture.empty()) {
        if (auto problem = capture_.Open(settings_.capture)) {
            return problem;
        }
        channel_->SetCapture([this](bool outgoing, lon::ByteView datagram, const lon::Endpoint&) {
            const std::lock_guard lock(captureMutex_);
            capture_.Write(outgoing, udp_->LocalPort(), settings_, datagram);
        });
    }
    return std::nullopt;
}

std::unique_ptr<lon::PacketPort> SharedChannel::NodePort(const lon::Target& node) {
    auto port = std::make_unique<Port>(*this, node);
    const std::lock_guard lock(mutex_);
    ports_.push_back(port.get());
    return port;
}

std::unique_ptr<lon::PacketPort> SharedChannel::Listener() {
    auto port = std::make_unique<Port>(*this, std::nullopt);
    const std::lock_guard lock(mutex_);
    listener_ = port.get();
    return port;
}

std::uint64_t SharedChannel::Unclaimed() const {
    const std::lock_guard lock(mutex_);
    return unclaimed_;
}

lon::ChannelCounters SharedChannel::CountersNow() const {
    const std::lock_guard lock(mutex_);
    return counters_;
}

void SharedChannel::Remove(Port* port) {
    const std::lock_guard lock(mutex_);
    std::erase(ports_, port);
    if (listener_ == port) {
        listener_ = nullptr;
    }
}

bool SharedChannel::Send(Port& port, const lon::Packet& packet) {
    {
        const std::lock_guard lock(mutex_);
        port.waitingFor = packet.transaction;
    }
    const std::lock_guard lock(sendMutex_);
    return channel_->Send(packet);
}

std::optional<lon::Packet> SharedChannel::Receive(Port& port, lon::Millis deadline) {
    const std::chrono::steady_clock::time_point until(deadline);
    std::unique_lock lock(mutex_);
    for (;;) {
        if (!port.inbox.empty()) {
            lon::Packet packet = std::move(port.inbox.front());
            port.inbox.pop_front();
            return packet;
        }
        if (clock_.Now() >= deadline) {
            return std::nullopt;
        }
        if (receiving_) {
            // Another caller receives; it wakes us with what is ours, or hands us its turn.
            port.waiting = true;
            port.wake.wait_until(lock, until);
            port.waiting = false;
            continue;
        }
        TakeTurn(port, deadline, lock);
    }
}

void SharedChannel::TakeTurn(Port& port, lon::Millis deadline, std::unique_lock<std::mutex>& lock) {
    // Receives for everyone until a packet of our own comes or our time is up, waking only the
    // port a packet is for.
    receiving_ = true;
    while (port.inbox.empty()) {
        lock.unlock();
        std::optional<lon::Packet> packet = channel_->Receive(deadline);
        lock.lock();
        counters_ = channel_->Counters();
        if (!packet) {
            break;
        }
        if (Port* owner = Deliver(std::move(*packet)); owner != nullptr && owner != &port) {
            owner->wake.notify_one();
        }
    }
    receiving_ = false;
    // The turn goes to one of the callers still waiting.
    const auto next = std::find_if(ports_.begin(), ports_.end(), [&port](const Port* other) {
        return other != &port && other->waiting;
    });
    if (next != ports_.end()) {
        (*next)->wake.notify_one();
    }
}

SharedChannel::Port* SharedChannel::Owner(const lon::Packet& packet) {
    const auto from = std::find_if(ports_.begin(), ports_.end(),
                                   [&packet](const Port* port) { return port->From(packet); });
    if (from != ports_.end()) {
        return *from;
    }
    // An answer to a node named by Neuron ID comes from its subnet/node, not yet known: the
    // port that waits for that transaction takes it and knows the node's address from then on.
    const bool answerToUs = packet.address.kind == lon::AddressKind::SubnetNode &&
                            packet.address.destination == settings_.source &&
                            packet.format != lon::PduFormat::Application;
    const auto byId = std::find_if(ports_.begin(), ports_.end(), [&](const Port* port) {
        return answerToUs && port->node && port->node->byNeuronId && !port->heardFrom &&
               port->waitingFor == packet.transaction;
    });
    if (byId != ports_.end()) {
        (*byId)->heardFrom = packet.address.source;
        return *byId;
    }
    return listener_;
}

SharedChannel::Port* SharedChannel::Deliver(lon::Packet packet) {
    Port* port = Owner(packet);
    if (port != nullptr) {
        port->inbox.push_back(std::move(packet));
    } else {
        ++unclaimed_;
    }
    return port;
}

}  // namespace host
