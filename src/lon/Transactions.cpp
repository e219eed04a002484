#include "lon/Transactions.h"

namespace lon {

Millis TransmitTimer(std::uint8_t code) {
    const int base = 16 << (code / 2);
    return Millis(code % 2 != 0 ? base + base / 2 : base);
}

std::uint8_t NextTransaction(std::uint8_t number) {
    return number >= 15 ? 1 : static_cast<std::uint8_t>(number + 1);
}

Transactions::Transactions(PacketPort& channel, Clock& clock, SubnetNode self, Domain domain,
                           RetryPolicy policy)
    : channel_(channel), clock_(clock), self_(self), domain_(domain), policy_(policy) {}

Packet Transactions::Build(const Target& target, Service service, ByteView apdu) {
    Packet p;
    p.format = service == Service::Request ? PduFormat::Session : PduFormat::Transport;
    p.type = service == Service::Request ? kSpduRequest : kTpduAcknowledged;
    p.address.source = self_;
    if (target.byNeuronId) {
        p.address.kind = AddressKind::NeuronId;
        p.address.destination.subnet = target.node.subnet;
        p.address.neuronId = target.neuronId;
    } else {
        p.address.kind = AddressKind::SubnetNode;
        p.address.destination = target.node;
    }
    p.domain = domain_;
    p.body.assign(apdu.begin(), apdu.end());
    // Number 0 goes only to the first transaction after start; from then on the numbers run 1
    // to 15 and around to 1 again, and a destination never gets the number its last transaction
    // had, so that it never takes a new transaction for a retry of the one before.
    const auto key = std::make_pair(
        target.byNeuronId, target.byNeuronId ? Bytes(target.neuronId.begin(), target.neuronId.end())
                                             : Bytes{target.node.subnet, target.node.node});
    if (shared_) {
        next_ = shared_();
    }
    const auto last = lastTransaction_.find(key);
    if (last != lastTransaction_.end() && last->second == next_) {
        next_ = shared_ ? shared_() : NextTransaction(next_);
    }
    p.transaction = next_;
    lastTransaction_[key] = next_;
    next_ = NextTransaction(next_);
    return p;
}

bool Transactions::IsAnswerToUs(const Packet& p) const {
    const bool answer = (p.format == PduFormat::Session && p.type == kSpduResponse) ||
                        (p.format == PduFormat::Transport && p.type == kTpduAck);
    return answer && p.address.kind == AddressKind::SubnetNode && p.address.destination == self_;
}

Outcome Transactions::Run(const Target& target, Service service, ByteView apdu) {
    const Packet request = Build(target, service, apdu);
    const PduFormat answerFormat = request.format;
    const std::uint8_t answerType = service == Service::Request ? kSpduResponse : kTpduAck;
    Outcome outcome;
    for (int tries = 1; tries <= 1 + policy_.retries; ++tries) {
        outcome.tries = tries;
        channel_.Send(request);
        const Millis deadline = clock_.Now() + TransmitTimer(policy_.transmitTimerCode);
        while (const std::optional<Packet> packet = channel_.Receive(deadline)) {
            if (!IsAnswerToUs(*packet)) {
                if (other_) {
                    other_(*packet);
                }
                continue;
            }
            const bool fromTarget = target.byNeuronId || packet->address.source == target.node;
            const bool expected = packet->format == answerFormat && packet->type == answerType;
            if (fromTarget && expected && packet->transaction == request.transaction) {
                outcome.completed = true;
                outcome.response = packet->body;
                return outcome;
            }
            ++ignored_;
            late_ += fromTarget && packet->transaction != request.transaction ? 1 : 0;
        }
    }
    return outcome;
}

}  // namespace lon
