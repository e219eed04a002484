#include "lon/Ip852Member.h"

#include <algorithm>

#include "lon/Ip852.h"

namespace lon {

namespace {

Ip852Outgoing AckTo(Ip852Endpoint to, Ip852AckCode code, std::uint16_t requestId,
                    std::uint32_t dateTime) {
    return {to, kIp852Acknowledge,
            EncodeIp852Ack({dateTime, static_cast<std::uint8_t>(code), requestId, 0})};
}

// The packets that may travel as segments, and the request that asks for each.
bool Carried(std::uint8_t type) {
    return type == kIp852ChannelMembership || type == kIp852SendList ||
           type == kIp852ChannelRouting;
}

std::uint8_t RequestFor(std::uint8_t type) {
    switch (type) {
        case kIp852ChannelMembership:
            return kIp852ChannelMembershipRequest;
        case kIp852SendList:
            return kIp852SendListRequest;
        case kIp852ChannelRouting:
            return kIp852ChannelRoutingRequest;
        default:
            return 0;
    }
}

void Append(std::vector<Ip852Outgoing>& out, std::vector<Ip852Outgoing> more) {
    std::move(more.begin(), more.end(), std::back_inserter(out));
}

bool HasDuplicates(const std::vector<Ip852MemberEntry>& members) {
    std::vector<Ip852Endpoint> endpoints;
    for (const Ip852MemberEntry& entry : members) {
        endpoints.push_back(entry.endpoint);
    }
    std::ranges::sort(endpoints);
    return std::ranges::adjacent_find(endpoints) != endpoints.end();
}

// Request ids of 1 to 999: never 0, which an acknowledgement of no request carries, and below
// 1000, which the sources' router reads as its own requests for routings.
std::uint16_t NextId(std::uint16_t& last) {
    last = static_cast<std::uint16_t>(last % 999 + 1);
    return last;
}

Ip852Outgoing RequestTo(Ip852Endpoint to, std::uint8_t type, Ip852Request request) {
    return {to, type, EncodeIp852Request(request)};
}

}  // namespace

std::vector<Ip852Outgoing> Ip852Packets(Ip852Endpoint to, std::uint8_t type, const Bytes& payload,
                                        std::uint16_t requestId, std::uint8_t from, bool all) {
    if (!NeedsIp852Segments(kIp852HeaderSize + payload.size())) {
        return {{to, type, payload}};
    }
    Ip852Header header;
    header.type = type;
    const std::vector<Ip852Segment> segments =
        SplitIp852Packet(EncodeIp852(header, payload), requestId);
    if (segments.empty()) {
        return {};
    }
    if (from >= segments.size()) {
        const Ip852Segment none{segments[0].dateTime, kIp852SegmentFinal, requestId, from, {}};
        return {{to, kIp852Segment, EncodeIp852Segment(none)}};
    }
    std::vector<Ip852Outgoing> out;
    const std::size_t end = all ? segments.size() : std::size_t{from} + 1;
    for (std::size_t i = from; i < end; ++i) {
        out.push_back({to, kIp852Segment, EncodeIp852Segment(segments[i])});
    }
    return out;
}

std::uint32_t Ip852DateTimes::Next(std::uint32_t now) {
    last_ = now > last_ ? now : last_ + 1;
    return last_;
}

// Reassembly.

Ip852Reassembly::Partial* Ip852Reassembly::Find(Ip852Endpoint from, std::uint16_t requestId) {
    const auto it = std::ranges::find_if(pending_, [&](const Partial& partial) {
        return partial.from == from && partial.requestId == requestId;
    });
    return it == pending_.end() ? nullptr : &*it;
}

Ip852Reassembly::Partial& Ip852Reassembly::Open(Ip852Endpoint from, const Ip852Segment& segment,
                                                std::uint8_t type, Millis now) {
    if (pending_.size() >= maxPending_) {
        // Room for the new packet: the one heard from longest ago goes.
        Drop(*std::ranges::min_element(pending_, {}, &Partial::heard));
    }
    Partial partial;
    partial.from = from;
    partial.requestId = segment.requestId;
    partial.dateTime = segment.dateTime;
    partial.type = type;
    partial.started = partial.heard = partial.asked = now;
    pending_.push_back(std::move(partial));
    return pending_.back();
}

void Ip852Reassembly::Erase(const Partial& partial) {
    std::erase_if(pending_, [&](const Partial& p) { return &p == &partial; });
}

void Ip852Reassembly::Drop(const Partial& partial) {
    Erase(partial);
    ++dropped_;
}

std::optional<Ip852Reassembled> Ip852Reassembly::Refuse() {
    ++dropped_;
    return std::nullopt;
}

std::optional<Ip852Reassembled> Ip852Reassembly::Add(Ip852Endpoint from,
                                                     const Ip852Segment& segment, Millis now) {
    if ((segment.flags & kIp852SegmentValid) == 0 || segment.segmentId >= kIp852MaxSegments) {
        return Refuse();
    }
    // Segment 0 starts with the carried packet's header, whose fourth byte is its type.
    const bool first = segment.segmentId == 0;
    if (first && (segment.data.size() < 4 || !Carried(segment.data[3]))) {
        return Refuse();
    }
    Partial* partial = Find(from, segment.requestId);
    if (partial == nullptr) {
        // Only segment 0 says what the packet is: a packet is opened by it.
        if (!first) {
            return Refuse();
        }
        partial = &Open(from, segment, segment.data[3], now);
    } else if (segment.dateTime < partial->dateTime) {
        return Refuse();
    } else if (segment.dateTime > partial->dateTime) {
        // A later packet under the same request: start over.
        partial->dateTime = segment.dateTime;
        partial->segments.clear();
        partial->final.reset();
        partial->bytes = 0;
    }
    if (first) {
        partial->type = segment.data[3];
    }
    const std::size_t id = segment.segmentId;
    const bool final = (segment.flags & kIp852SegmentFinal) != 0;
    if (partial->segments.size() <= id) {
        partial->segments.resize(id + 1);
    }
    if (partial->segments[id] || (final && partial->final && *partial->final != id)) {
        return Refuse();
    }
    partial->bytes += segment.data.size();
    if (partial->bytes > kIp852SegmentData * kIp852MaxSegments ||
        (partial->final && id > *partial->final) || (final && partial->segments.size() > id + 1)) {
        Drop(*partial);
        return std::nullopt;
    }
    partial->segments[id] = segment.data;
    partial->heard = now;
    if (final) {
        partial->final = id;
    }
    if (!partial->final ||
        !std::ranges::all_of(partial->segments, [](const auto& s) { return s.has_value(); })) {
        return std::nullopt;
    }
    std::optional<Ip852Reassembled> whole = Completed(*partial);
    if (whole) {
        Erase(*partial);
    } else {
        Drop(*partial);
    }
    return whole;
}

std::optional<Ip852Reassembled> Ip852Reassembly::Completed(const Partial& partial) const {
    Bytes joined;
    joined.reserve(partial.bytes);
    for (const std::optional<Bytes>& segment : partial.segments) {
        joined.insert(joined.end(), segment->begin(), segment->end());
    }
    // Exactly one packet, its length the length of the segments together.
    const Ip852Datagram carried = DecodeIp852(joined);
    if (carried.fault != Ip852Fault::None || carried.packets.size() != 1 ||
        carried.packets[0].header.type != partial.type) {
        return std::nullopt;
    }
    return Ip852Reassembled{partial.type, carried.packets[0].payload, partial.requestId};
}

std::vector<Ip852Reassembly::Missing> Ip852Reassembly::Stalled(Millis now) {
    dropped_ += std::erase_if(pending_, [&](const Partial& partial) {
        return now - partial.heard > kQuiet || now - partial.started > kLongest;
    });
    std::vector<Missing> missing;
    for (Partial& partial : pending_) {
        if (now - partial.heard < kAskAfter || now - partial.asked < kAskAfter) {
            continue;
        }
        const auto gap =
            std::ranges::find_if(partial.segments, [](const auto& s) { return !s.has_value(); });
        const std::size_t id = static_cast<std::size_t>(gap - partial.segments.begin());
        if (id >= kIp852MaxSegments) {
            continue;
        }
        partial.asked = now;
        missing.push_back({partial.from, partial.requestId, static_cast<std::uint8_t>(id),
                           RequestFor(partial.type), partial.dateTime});
    }
    return missing;
}

// Member.

Ip852Member::Ip852Member(Ip852MemberOptions options)
    : options_(std::move(options)),
      configServer_(options_.configServer),
      channelTimeout_(options_.channelTimeout),
      name_(options_.name.empty() ? Bytes{} : Ip852Name(options_.name)),
      ownRouting_(options_.routing) {
    if (ownRouting_) {
        ownRouting_->unicast = options_.self;
    }
}

std::vector<Ip852Outgoing> Ip852Member::Handle(std::uint8_t type, ByteView payload,
                                               Ip852Endpoint from, Ip852Instant now) {
    if (type == kIp852DeviceConfiguration || Carried(type) || type == kIp852Segment) {
        if (!FromAuthority(from)) {
            ++counters_.refused;
            return {};
        }
        return Configure(type, payload, from, now);
    }
    if (type == kIp852Acknowledge) {
        TakeAck(payload, from);
        return {};
    }
    if (IsIp852Request(type)) {
        return Answer(type, payload, from, now);
    }
    ++counters_.ignored;
    return {};
}

bool Ip852Member::FromAuthority(Ip852Endpoint from) const {
    return !configServer_ || *configServer_ == from;
}

std::vector<Ip852Outgoing> Ip852Member::Configure(std::uint8_t type, ByteView payload,
                                                  Ip852Endpoint from, Ip852Instant now) {
    switch (type) {
        case kIp852DeviceConfiguration:
            return TakeDevice(payload, from, now);
        case kIp852ChannelMembership:
            TakeMembership(payload);
            return {};
        case kIp852SendList:
            TakeSendList(payload);
            return {};
        case kIp852ChannelRouting:
            return TakeRouting(payload, from, now);
        default:
            return TakeSegment(payload, from, now);
    }
}

std::vector<Ip852Outgoing> Ip852Member::TakeDevice(ByteView payload, Ip852Endpoint from,
                                                   Ip852Instant now) {
    const std::optional<Ip852Device> device = DecodeIp852Device(payload);
    if (!device) {
        ++counters_.malformed;
        return {};
    }
    SetConfigServer(device->configServer.address != 0 ? std::optional(device->configServer)
                                                      : std::nullopt);
    channelTimeout_ = device->channelTimeout;
    timeServer_ = device->timeServer;
    timeServer2_ = device->timeServer2;
    // The port the server names for this member is not taken: the caller's socket is bound.
    if (!device->name.empty() && device->name.size() <= kIp852MaxNameLength + 1) {
        name_ = device->name;
    }
    ++counters_.applied;
    std::vector<Ip852Outgoing> out{AckTo(from, Ip852AckCode::Ok, 0, now.dateTime)};
    // A later membership than the one held: tell the server what this member routes and ask
    // for it (LtIpMaster.cpp doRFCin).
    if (configServer_ && (!holdsMembership_ || device->membershipDateTime > membership_.dateTime)) {
        if (ownRouting_) {
            out.push_back(
                {*configServer_, kIp852ChannelRouting, EncodeIp852ChannelRouting(OwnRouting(now))});
            routingSent_ = true;
        }
        out.push_back(*Request(kIp852ChannelMembershipRequest, now));
    }
    return out;
}

void Ip852Member::TakeMembership(ByteView payload) {
    const std::optional<Ip852Membership> membership = DecodeIp852Membership(payload);
    if (!membership || membership->members.size() > kIp852MaxMembers ||
        HasDuplicates(membership->members)) {
        ++counters_.malformed;
        return;
    }
    if (!Newer(membership->dateTime, membership_.dateTime, holdsMembership_)) {
        return;
    }
    membership_ = *membership;
    holdsMembership_ = true;
    std::erase_if(routings_,
                  [&](const Ip852ChannelRouting& routing) { return !IsMember(routing.unicast); });
    ++counters_.applied;
}

void Ip852Member::TakeSendList(ByteView payload) {
    const std::optional<Ip852SendList> list = DecodeIp852SendList(payload);
    if (!list) {
        ++counters_.malformed;
        return;
    }
    if (!Newer(list->dateTime, sendList_ ? sendList_->dateTime : 0, sendList_.has_value())) {
        return;
    }
    sendList_ = *list;
    ++counters_.applied;
}

std::vector<Ip852Outgoing> Ip852Member::TakeRouting(ByteView payload, Ip852Endpoint from,
                                                    Ip852Instant now) {
    const std::optional<Ip852ChannelRouting> routing = DecodeIp852ChannelRouting(payload);
    const auto entry = routing ? std::ranges::find(membership_.members, routing->unicast,
                                                   &Ip852MemberEntry::endpoint)
                               : membership_.members.end();
    // A routing for no one, or for someone not in the membership (it must come first).
    if (!routing || routing->unicast.address == 0 || entry == membership_.members.end()) {
        ++counters_.malformed;
        return {};
    }
    if (routing->unicast == options_.self) {
        ++counters_.ignored;  // this member's own, as the server holds it
        return {};
    }
    const auto held = std::ranges::find(routings_, routing->unicast, &Ip852ChannelRouting::unicast);
    if (held != routings_.end() && entry->dateTime != 0 && routing->dateTime != entry->dateTime) {
        ++counters_.stale;
        return {AckTo(from, Ip852AckCode::BadMessage, 0, now.dateTime)};
    }
    if (held == routings_.end()) {
        ++counters_.applied;
    } else {
        ++(*held == *routing ? counters_.current : counters_.applied);
        routings_.erase(held);
    }
    // The last taken goes last: a request names a member by its address alone, and where
    // members share one (several ports of one host) it is answered with the one taken last.
    routings_.push_back(*routing);
    return {};
}

std::vector<Ip852Outgoing> Ip852Member::TakeSegment(ByteView payload, Ip852Endpoint from,
                                                    Ip852Instant now) {
    const std::optional<Ip852Segment> segment = DecodeIp852Segment(payload);
    if (!segment) {
        ++counters_.malformed;
        return {};
    }
    const std::optional<Ip852Reassembled> whole = reassembly_.Add(from, *segment, now.steady);
    counters_.segmentsDropped = reassembly_.Dropped();
    if (!whole) {
        return {};
    }
    return Configure(whole->type, whole->payload, from, now);
}

bool Ip852Member::Newer(std::uint32_t dateTime, std::uint32_t held, bool holding) {
    if (!holding || dateTime > held) {
        return true;
    }
    ++(dateTime == held ? counters_.current : counters_.stale);
    return false;
}

void Ip852Member::TakeAck(ByteView payload, Ip852Endpoint from) {
    const std::optional<Ip852Ack> ack = DecodeIp852Ack(payload);
    if (!ack) {
        ++counters_.malformed;
        return;
    }
    // Any answer of no request of ours acknowledges the routing sent (LtIpMaster.cpp doRFCin).
    if (routingSent_ && configServer_ == from && ack->requestId < 1000) {
        routingAcknowledged_ = true;
        return;
    }
    ++counters_.ignored;
}

std::vector<Ip852Outgoing> Ip852Member::Answer(std::uint8_t type, ByteView payload,
                                               Ip852Endpoint from, Ip852Instant now) {
    const std::optional<Ip852Request> request = DecodeIp852Request(payload);
    if (!request) {
        ++counters_.malformed;
        return {};
    }
    ++counters_.answered;
    const auto reply = [&](std::uint8_t answer, const Bytes& bytes) {
        return Ip852Packets(from, answer, bytes, request->requestId, request->segmentId,
                            (request->reason & kIp852RequestAll) != 0);
    };
    const auto refuse = [&](Ip852AckCode code) {
        return std::vector{AckTo(from, code, request->requestId, now.dateTime)};
    };
    switch (type) {
        case kIp852DeviceConfigurationRequest:
            return reply(kIp852DeviceConfiguration, EncodeIp852Device(Device(DeviceDateTime(now))));
        case kIp852ChannelMembershipRequest:
            return holdsMembership_
                       ? reply(kIp852ChannelMembership, EncodeIp852Membership(membership_))
                       : refuse(Ip852AckCode::DeviceRefused);
        case kIp852SendListRequest:
            return sendList_ ? reply(kIp852SendList, EncodeIp852SendList(*sendList_))
                             : refuse(Ip852AckCode::DeviceRefused);
        case kIp852ChannelRoutingRequest: {
            const std::optional<Ip852ChannelRouting> routing = RoutingFor(request->address, now);
            return routing ? reply(kIp852ChannelRouting, EncodeIp852ChannelRouting(*routing))
                           : refuse(Ip852AckCode::DeviceRefused);
        }
        default:
            return refuse(Ip852AckCode::NotSupported);
    }
}

std::optional<Ip852ChannelRouting> Ip852Member::RoutingFor(std::uint32_t address,
                                                           Ip852Instant now) {
    const auto held =
        std::ranges::find(routings_.rbegin(), routings_.rend(), address,
                          [](const Ip852ChannelRouting& r) { return r.unicast.address; });
    if (held != routings_.rend()) {
        return *held;
    }
    if (address == options_.self.address && ownRouting_) {
        return OwnRouting(now);
    }
    return std::nullopt;
}

const Ip852ChannelRouting& Ip852Member::OwnRouting(Ip852Instant now) {
    if (ownRouting_->dateTime == 0) {
        ownRouting_->dateTime = dateTimes_.Next(now.dateTime);
    }
    return *ownRouting_;
}

std::vector<Ip852Outgoing> Ip852Member::Tick(Ip852Instant now) {
    std::vector<Ip852Outgoing> out;
    for (const Ip852Reassembly::Missing& missing : reassembly_.Stalled(now.steady)) {
        out.push_back(RequestTo(
            missing.from, missing.requestType,
            {missing.dateTime, kIp852RequestAll, missing.requestId, missing.segmentId, 0, 0}));
    }
    counters_.segmentsDropped = reassembly_.Dropped();
    return out;
}

Ip852Device Ip852Member::Device(std::uint32_t dateTime) const {
    Ip852Device device;
    device.dateTime = dateTime;
    device.ipFlags = kIp852Udp;
    device.lonTalkFlags = kIp852EiaAuthentication;
    device.nodeType = kIp852LonTalkIpRouter;
    device.channelTimeout = channelTimeout_;
    device.neuronIds = options_.neuronIds;
    device.unicast = options_.self;
    device.membershipDateTime = holdsMembership_ ? membership_.dateTime : 0;
    device.sendListDateTime = sendList_ ? sendList_->dateTime : 0;
    device.configServer = configServer_.value_or(Ip852Endpoint{});
    device.timeServer = timeServer_;
    device.timeServer2 = timeServer2_;
    device.name = name_;
    return device;
}

std::uint32_t Ip852Member::DeviceDateTime(Ip852Instant now) {
    const Bytes saying = EncodeIp852Device(Device(0));
    if (saying != registered_ || registeredAt_ == 0) {
        registered_ = saying;
        registeredAt_ = dateTimes_.Next(now.dateTime);
    }
    return registeredAt_;
}

std::optional<Ip852Outgoing> Ip852Member::Register(Ip852Instant now) {
    if (!configServer_) {
        return std::nullopt;
    }
    return Ip852Outgoing{*configServer_, kIp852DeviceRegistration,
                         EncodeIp852Device(Device(DeviceDateTime(now)))};
}

std::optional<Ip852Outgoing> Ip852Member::Request(std::uint8_t type, Ip852Instant now,
                                                  std::uint32_t address) {
    if (!configServer_ || !IsIp852Request(type)) {
        return std::nullopt;
    }
    return RequestTo(*configServer_, type,
                     {now.dateTime, kIp852RequestAll, NextId(requestId_), 0, 0, address});
}

void Ip852Member::SetConfigServer(std::optional<Ip852Endpoint> server) {
    if (server == configServer_) {
        return;
    }
    // What the last server said is no longer the channel's (LtIpMaster.cpp setNewServers).
    configServer_ = server;
    holdsMembership_ = false;
    membership_ = {};
    sendList_.reset();
    routings_.clear();
    routingSent_ = routingAcknowledged_ = false;
}

bool Ip852Member::IsMember(Ip852Endpoint endpoint) const {
    return std::ranges::find(membership_.members, endpoint, &Ip852MemberEntry::endpoint) !=
           membership_.members.end();
}

std::vector<Ip852Endpoint> Ip852Member::SendList() const {
    if (sendList_) {
        return sendList_->members;
    }
    std::vector<Ip852Endpoint> others;
    for (const Ip852MemberEntry& entry : membership_.members) {
        if (entry.endpoint != options_.self) {
            others.push_back(entry.endpoint);
        }
    }
    return others;
}

std::optional<Ip852ChannelRouting> Ip852Member::RoutingOf(Ip852Endpoint member) const {
    if (member == options_.self) {
        return ownRouting_;
    }
    const auto held = std::ranges::find(routings_, member, &Ip852ChannelRouting::unicast);
    return held == routings_.end() ? std::nullopt : std::optional(*held);
}

// Configuration server.

const char* Ip852StepName(Ip852Step step) {
    switch (step) {
        case Ip852Step::DeviceConfiguration:
            return "device configuration";
        case Ip852Step::ChannelMembership:
            return "channel membership";
        case Ip852Step::SendList:
            return "send list";
        case Ip852Step::ChannelRouting:
            return "channel routing";
        case Ip852Step::Done:
            return "done";
    }
    return "unknown";
}

Ip852ConfigServer::Ip852ConfigServer(Ip852ServerOptions options) : options_(std::move(options)) {
    dateTimes_.Next(options_.after);
    if (options_.members.size() > kIp852MaxMembers) {
        options_.members.resize(kIp852MaxMembers);
    }
    for (const Ip852PlannedMember& member : options_.members) {
        if (member.endpoint != options_.self && !member.thisPc) {
            jobs_.push_back({.progress = {.endpoint = member.endpoint}});
        }
    }
}

std::vector<Ip852Outgoing> Ip852ConfigServer::Start(Ip852Instant now) {
    configuredAt_ = dateTimes_.Next(now.dateTime);
    Replan(now);
    std::vector<Ip852Outgoing> out;
    for (Job& job : jobs_) {
        job.progress = {.endpoint = job.progress.endpoint};
        Append(out, Send(job, now));
    }
    return out;
}

// The membership as the members' routings date it: a routing's date-time is its member's in
// the membership, which a router compares with the routing it holds.
void Ip852ConfigServer::Replan(Ip852Instant now) {
    membership_.members.clear();
    for (Ip852PlannedMember& member : options_.members) {
        if (member.routing) {
            member.routing->unicast = member.endpoint;
            if (member.routing->dateTime == 0) {
                member.routing->dateTime = dateTimes_.Next(now.dateTime);
            }
        }
        membership_.members.push_back(
            {member.endpoint, member.routing ? member.routing->dateTime : 0});
    }
    membership_.dateTime = dateTimes_.Next(now.dateTime);
    membership_.sendListDateTime = configuredAt_;
}

Ip852ConfigServer::Job* Ip852ConfigServer::JobOf(Ip852Endpoint member) {
    const auto it = std::ranges::find_if(
        jobs_, [&](const Job& job) { return job.progress.endpoint == member; });
    return it == jobs_.end() ? nullptr : &*it;
}

Ip852PlannedMember* Ip852ConfigServer::PlannedOf(Ip852Endpoint member) {
    const auto it = std::ranges::find(options_.members, member, &Ip852PlannedMember::endpoint);
    return it == options_.members.end() ? nullptr : &*it;
}

Ip852Device Ip852ConfigServer::DeviceConfigurationFor(Ip852Endpoint member) const {
    Ip852Device device;
    device.dateTime = configuredAt_;
    device.ipFlags = kIp852Udp;
    device.channelTimeout = options_.channelTimeout;
    device.unicast = member;
    device.membershipDateTime = membership_.dateTime;
    device.sendListDateTime = configuredAt_;
    device.configServer = options_.self;
    device.timeServer = options_.timeServer;
    device.timeServer2 = options_.timeServer2;
    const auto planned = std::ranges::find(options_.members, member, &Ip852PlannedMember::endpoint);
    if (planned != options_.members.end() && !planned->name.empty()) {
        device.name = Ip852Name(planned->name);
    }
    return device;
}

Ip852SendList Ip852ConfigServer::SendListFor(Ip852Endpoint member) const {
    Ip852SendList list{configuredAt_, {}};
    for (const Ip852PlannedMember& other : options_.members) {
        if (other.endpoint != member && list.members.size() < kIp852MaxSendList) {
            list.members.push_back(other.endpoint);
        }
    }
    return list;
}

std::pair<std::uint8_t, Bytes> Ip852ConfigServer::StepPacket(const Job& job) const {
    const Ip852Endpoint member = job.progress.endpoint;
    switch (job.progress.step) {
        case Ip852Step::DeviceConfiguration:
            return {kIp852DeviceConfiguration, EncodeIp852Device(DeviceConfigurationFor(member))};
        case Ip852Step::ChannelMembership:
            return {kIp852ChannelMembership, EncodeIp852Membership(membership_)};
        case Ip852Step::SendList:
            return {kIp852SendList, EncodeIp852SendList(SendListFor(member))};
        case Ip852Step::ChannelRouting:
            return {kIp852ChannelRouting,
                    EncodeIp852ChannelRouting(*options_.members[job.routing].routing)};
        case Ip852Step::Done:
            break;
    }
    return {0, {}};
}

std::vector<Ip852Outgoing> Ip852ConfigServer::Send(Job& job, Ip852Instant now) {
    const Ip852Endpoint to = job.progress.endpoint;
    const auto [type, payload] = StepPacket(job);
    job.progress.state = Ip852MemberState::Sent;
    ++job.progress.sends;
    job.sentAt = now.steady;
    job.pushId = NextId(requestId_);
    std::vector<Ip852Outgoing> out = Ip852Packets(to, type, payload, job.pushId);
    if (job.progress.step != Ip852Step::DeviceConfiguration) {
        // What the member holds shows that it took the packet: the membership's date-time in its
        // device configuration, a copy of the others.
        job.verifyId = NextId(requestId_);
        const Ip852Step step = job.progress.step;
        const std::uint8_t request = step == Ip852Step::ChannelMembership
                                         ? kIp852DeviceConfigurationRequest
                                         : RequestFor(type);
        const std::uint32_t address =
            step == Ip852Step::ChannelRouting ? job.progress.routingOf.address : 0;
        out.push_back(
            RequestTo(to, request, {now.dateTime, kIp852RequestAll, job.verifyId, 0, 0, address}));
    }
    return out;
}

bool Ip852ConfigServer::NextRouting(Job& job, std::size_t from) {
    for (std::size_t i = from; i < options_.members.size(); ++i) {
        const Ip852PlannedMember& other = options_.members[i];
        if (other.routing && other.endpoint != job.progress.endpoint) {
            job.routing = i;
            job.progress.routingOf = other.endpoint;
            return true;
        }
    }
    return false;
}

std::vector<Ip852Outgoing> Ip852ConfigServer::Advance(Job& job, Ip852Instant now,
                                                      const std::string& note) {
    Ip852MemberProgress& progress = job.progress;
    if (!note.empty()) {
        progress.reason += (progress.reason.empty() ? "" : "; ") + note;
    }
    progress.sends = 0;
    switch (progress.step) {
        case Ip852Step::DeviceConfiguration:
            progress.step = Ip852Step::ChannelMembership;
            break;
        case Ip852Step::ChannelMembership:
            progress.step = Ip852Step::SendList;
            break;
        case Ip852Step::SendList:
        case Ip852Step::ChannelRouting: {
            const std::size_t from = progress.step == Ip852Step::SendList ? 0 : job.routing + 1;
            progress.step = NextRouting(job, from) ? Ip852Step::ChannelRouting : Ip852Step::Done;
            break;
        }
        case Ip852Step::Done:
            break;
    }
    if (progress.step == Ip852Step::Done) {
        progress.state = Ip852MemberState::Acknowledged;
        progress.routingOf = {};
        return {};
    }
    return Send(job, now);
}

void Ip852ConfigServer::Fail(Job& job, std::string reason) {
    job.progress.state = Ip852MemberState::Failed;
    job.progress.reason = std::move(reason);
}

std::vector<Ip852Outgoing> Ip852ConfigServer::Handle(std::uint8_t type, ByteView payload,
                                                     Ip852Endpoint from, Ip852Instant now) {
    Job* job = JobOf(from);
    if (job == nullptr || configuredAt_ == 0) {
        ++counters_.strangers;
        return {};
    }
    switch (type) {
        case kIp852Acknowledge:
            return Acknowledged(from, payload, now);
        case kIp852DeviceRegistration:
            // The member started (again): it is configured from the start.
            if (!DecodeIp852Device(payload)) {
                ++counters_.malformed;
                return {};
            }
            job->progress = {.endpoint = from};
            return Send(*job, now);
        case kIp852ChannelRouting:
            return TakeRouting(*job, payload, from, now);
        case kIp852DeviceConfiguration:
        case kIp852ChannelMembership:
        case kIp852SendList:
            return Confirm(*job, type, payload, now);
        case kIp852Segment:
            return TakeSegment(payload, from, now);
        default:
            if (IsIp852Request(type)) {
                return Answer(*job, type, payload, now);
            }
            ++counters_.ignored;
            return {};
    }
}

std::vector<Ip852Outgoing> Ip852ConfigServer::Acknowledged(Ip852Endpoint from, ByteView payload,
                                                           Ip852Instant now) {
    Job* job = JobOf(from);
    if (job == nullptr) {
        ++counters_.strangers;
        return {};
    }
    const std::optional<Ip852Ack> ack = DecodeIp852Ack(payload);
    if (!ack) {
        ++counters_.malformed;
        return {};
    }
    Ip852MemberProgress& progress = job->progress;
    const std::string step = Ip852StepName(progress.step);
    if (progress.state != Ip852MemberState::Sent) {
        ++counters_.ignored;
        return {};
    }
    if (ack->requestId == 0 && ack->code == static_cast<std::uint8_t>(Ip852AckCode::Ok)) {
        return Advance(*job, now);
    }
    if (ack->requestId == 0 && progress.step == Ip852Step::DeviceConfiguration) {
        Fail(*job, Ip852EndpointText(from) +
                       " refused the device configuration: " + Ip852AckCodeName(ack->code));
        return {};
    }
    if (ack->requestId == job->verifyId &&
        ack->code == static_cast<std::uint8_t>(Ip852AckCode::NotSupported)) {
        return Advance(*job, now, step + " taken unseen: the member does not show it");
    }
    // "Refused" to the request (the member holds none yet), or a complaint about the packet: the
    // step goes again when its time is up.
    if (ack->requestId == 0 || ack->requestId == job->verifyId) {
        progress.reason = step + ": " + Ip852AckCodeName(ack->code);
        return {};
    }
    ++counters_.ignored;
    return {};
}

std::vector<Ip852Outgoing> Ip852ConfigServer::Confirm(Job& job, std::uint8_t type, ByteView payload,
                                                      Ip852Instant now) {
    const Ip852Step step = job.progress.step;
    bool same = false;
    if (type == kIp852DeviceConfiguration && step == Ip852Step::ChannelMembership) {
        const auto device = DecodeIp852Device(payload);
        same = device && device->membershipDateTime == membership_.dateTime;
    } else if (type == kIp852ChannelMembership && step == Ip852Step::ChannelMembership) {
        const auto copy = DecodeIp852Membership(payload);
        same = copy && copy->dateTime == membership_.dateTime;
    } else if (type == kIp852SendList && step == Ip852Step::SendList) {
        const auto copy = DecodeIp852SendList(payload);
        same = copy && copy->dateTime == configuredAt_;
    } else if (type == kIp852ChannelRouting && step == Ip852Step::ChannelRouting) {
        const auto copy = DecodeIp852ChannelRouting(payload);
        const Ip852ChannelRouting& sent = *options_.members[job.routing].routing;
        same = copy && copy->unicast == sent.unicast && copy->dateTime == sent.dateTime;
    }
    if (same && job.progress.state == Ip852MemberState::Sent) {
        return Advance(job, now);
    }
    ++counters_.ignored;
    return {};
}

// A member's own routing: kept and acknowledged; a new one changes the membership, which every
// member past its device configuration is sent again with the routings after it, at the next
// tick: the routings of a channel's routers that start together cost one round, not one each.
std::vector<Ip852Outgoing> Ip852ConfigServer::TakeRouting(Job& job, ByteView payload,
                                                          Ip852Endpoint from, Ip852Instant now) {
    const std::optional<Ip852ChannelRouting> routing = DecodeIp852ChannelRouting(payload);
    if (!routing) {
        ++counters_.malformed;
        return {};
    }
    if (routing->unicast != from) {
        return Confirm(job, kIp852ChannelRouting, payload, now);
    }
    std::vector<Ip852Outgoing> out{AckTo(from, Ip852AckCode::Ok, 0, now.dateTime)};
    Ip852PlannedMember* planned = PlannedOf(from);
    if (planned->routing == routing) {
        return out;
    }
    planned->routing = routing;
    Replan(now);
    for (Job& other : jobs_) {
        if (other.progress.state != Ip852MemberState::Failed &&
            other.progress.step != Ip852Step::DeviceConfiguration) {
            SendAgainSoon(other, now);
        }
    }
    return out;
}

void Ip852ConfigServer::SendAgainSoon(Job& job, Ip852Instant now) {
    job.progress = {.endpoint = job.progress.endpoint,
                    .state = Ip852MemberState::Sent,
                    .step = Ip852Step::ChannelMembership};
    job.sentAt = now.steady - options_.retryAfter;
}

std::vector<Ip852Outgoing> Ip852ConfigServer::Answer(Job& job, std::uint8_t type, ByteView payload,
                                                     Ip852Instant now) {
    const std::optional<Ip852Request> request = DecodeIp852Request(payload);
    if (!request) {
        ++counters_.malformed;
        return {};
    }
    ++counters_.answered;
    const Ip852Endpoint to = job.progress.endpoint;
    const bool all = (request->reason & kIp852RequestAll) != 0;
    // The member asks for segments of a packet being sent to it as segments.
    if (request->requestId == job.pushId && job.progress.state == Ip852MemberState::Sent) {
        const auto [pushed, bytes] = StepPacket(job);
        if (RequestFor(pushed) == type) {
            return Ip852Packets(to, pushed, bytes, job.pushId, request->segmentId, all);
        }
    }
    const auto reply = [&](std::uint8_t answer, const Bytes& bytes) {
        return Ip852Packets(to, answer, bytes, request->requestId, request->segmentId, all);
    };
    switch (type) {
        case kIp852DeviceConfigurationRequest:
            return reply(kIp852DeviceConfiguration, EncodeIp852Device(DeviceConfigurationFor(to)));
        case kIp852ChannelMembershipRequest:
            return reply(kIp852ChannelMembership, EncodeIp852Membership(membership_));
        case kIp852SendListRequest:
            return reply(kIp852SendList, EncodeIp852SendList(SendListFor(to)));
        case kIp852ChannelRoutingRequest:
            for (const Ip852PlannedMember& member : options_.members) {
                if (member.routing && member.endpoint.address == request->address) {
                    return reply(kIp852ChannelRouting, EncodeIp852ChannelRouting(*member.routing));
                }
            }
            // The sources' router stops asking for a routing once refused.
            return {AckTo(to, Ip852AckCode::DeviceRefused, request->requestId, now.dateTime)};
        default:
            return {AckTo(to, Ip852AckCode::NotSupported, request->requestId, now.dateTime)};
    }
}

std::vector<Ip852Outgoing> Ip852ConfigServer::TakeSegment(ByteView payload, Ip852Endpoint from,
                                                          Ip852Instant now) {
    const std::optional<Ip852Segment> segment = DecodeIp852Segment(payload);
    if (!segment) {
        ++counters_.malformed;
        return {};
    }
    const std::optional<Ip852Reassembled> whole = reassembly_.Add(from, *segment, now.steady);
    return whole ? Handle(whole->type, whole->payload, from, now) : std::vector<Ip852Outgoing>{};
}

std::vector<Ip852Outgoing> Ip852ConfigServer::Tick(Ip852Instant now) {
    std::vector<Ip852Outgoing> out;
    for (Job& job : jobs_) {
        Ip852MemberProgress& progress = job.progress;
        if (progress.state != Ip852MemberState::Sent ||
            now.steady - job.sentAt < options_.retryAfter) {
            continue;
        }
        if (progress.sends > options_.retries) {
            std::string reason = Ip852EndpointText(progress.endpoint) + " did not answer the " +
                                 Ip852StepName(progress.step) + " after " +
                                 std::to_string(progress.sends) + " sends";
            if (!progress.reason.empty()) {
                reason += " (" + progress.reason + ")";
            }
            Fail(job, std::move(reason));
            continue;
        }
        Append(out, Send(job, now));
    }
    for (const Ip852Reassembly::Missing& missing : reassembly_.Stalled(now.steady)) {
        out.push_back(RequestTo(
            missing.from, missing.requestType,
            {missing.dateTime, kIp852RequestAll, missing.requestId, missing.segmentId, 0, 0}));
    }
    return out;
}

std::vector<Ip852MemberProgress> Ip852ConfigServer::Progress() const {
    std::vector<Ip852MemberProgress> progress;
    for (const Job& job : jobs_) {
        progress.push_back(job.progress);
    }
    return progress;
}

std::optional<Ip852MemberProgress> Ip852ConfigServer::ProgressOf(Ip852Endpoint member) const {
    const auto it = std::ranges::find_if(
        jobs_, [&](const Job& job) { return job.progress.endpoint == member; });
    return it == jobs_.end() ? std::nullopt : std::optional(it->progress);
}

bool Ip852ConfigServer::Done() const {
    return configuredAt_ != 0 && std::ranges::all_of(jobs_, [](const Job& job) {
               return job.progress.state == Ip852MemberState::Acknowledged ||
                      job.progress.state == Ip852MemberState::Failed;
           });
}

}  // namespace lon
