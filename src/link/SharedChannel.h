#pragma once
// The host's one member of a router's channel: a router's configuration server lists the PC
// once (one address and UDP port), so every node behind that router is reached through one
// socket and one IP-852 session with one sequence of numbers. Each node gets a port of its own
// on the channel; many threads run transactions with their own nodes at once. Sends take turns;
// receiving is done by whichever waiting caller holds the turn (the others wait without
// polling), and each packet that arrives goes to the port of the node it comes from. A packet
// that no port waits for goes to the listener when there is one, else it is counted and dropped.

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "link/CaptureFile.h"
#include "link/LinkSettings.h"
#include "link/MemberConfiguration.h"
#include "link/TransactionCount.h"
#include "lon/Channel.h"
#include "lon/PacketPort.h"
#include "lon/UdpDatagram.h"

namespace host {

class SharedChannel {
public:
    // The router, its port, our local port, our subnet/node, the domain, the secret and the
    // capture file come from the settings; the node named there is not used.
    explicit SharedChannel(LinkSettings settings);
    ~SharedChannel();
    SharedChannel(const SharedChannel&) = delete;
    SharedChannel& operator=(const SharedChannel&) = delete;

    // Opens the socket and the capture file; the error line, or nothing.
    std::optional<std::string> Open();

    // The node's share of the channel: what it sends goes out on the channel, and it receives
    // what that node sends us: by subnet/node, or for a node named by Neuron ID, the answers to
    // its transactions (and from then on everything from the subnet/node they came from).
    std::unique_ptr<lon::PacketPort> NodePort(const lon::Target& node);
    // Receives every packet that no node's port takes (service pins, answers to broadcasts)
    // while it lives.
    std::unique_ptr<lon::PacketPort> Listener();

    const LinkSettings& Settings() const { return settings_; }
    // What the channel's configuration server told this PC, where the site names one.
    const MemberConfiguration* Member() const { return member_.get(); }
    lon::Clock& Clock() { return clock_; }
    // The transaction numbers its nodes' transactions take, shared with this PC's other programs.
    TransactionCount& Numbers() { return *numbers_; }
    // Packets from nodes nobody waited for, dropped.
    std::uint64_t Unclaimed() const;
    std::uint64_t Refusals() const { return udp_ ? udp_->Refusals() : 0; }
    // Read while no transaction runs.
    const lon::ChannelCounters& Counters() const { return channel_->Counters(); }
    // The counters as the last receive left them, while transactions run.
    lon::ChannelCounters CountersNow() const;

private:
    class Port;

    bool Send(Port& port, const lon::Packet& packet);
    std::optional<lon::Packet> Receive(Port& port, lon::Millis deadline);
    void Remove(Port* port);
    // Receives on the channel for every port until port has a packet or the deadline passes.
    void TakeTurn(Port& port, lon::Millis deadline, std::unique_lock<std::mutex>& lock);
    // Under mutex_: the port the packet went to, or nothing when none took it.
    Port* Deliver(lon::Packet packet);
    Port* Owner(const lon::Packet& packet);
    void Capture(bool outgoing, lon::ByteView datagram);

    LinkSettings settings_;
    lon::SteadyClock clock_;
    std::unique_ptr<lon::UdpDatagram> udp_;
    std::unique_ptr<lon::Channel> channel_;
    std::unique_ptr<MemberConfiguration> member_;
    std::unique_ptr<TransactionCount> numbers_;  // where the site names a configuration server
    CaptureFile capture_;
    std::mutex sendMutex_;     // the channel's sends
    std::mutex captureMutex_;  // sends and the receiving caller both write the capture
    mutable std::mutex mutex_;
    bool receiving_ = false;  // a caller waits in the channel's Receive
    std::vector<Port*> ports_;
    Port* listener_ = nullptr;
    std::uint64_t unclaimed_ = 0;
    lon::ChannelCounters counters_;  // under mutex_: a copy taken after each receive
};

}  // namespace host
