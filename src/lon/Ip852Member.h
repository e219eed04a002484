#pragma once
// The configuration of an IP-852 channel as plain logic, with no socket and no clock of its own:
// a member that takes its configuration from the channel's configuration server, and a
// configuration server that configures every member of a channel. Both are handed each packet's
// type, payload and sender (lon/Ip852.h unframes them) and the time, and give back the packets to
// send; the caller frames each with EncodeIp852 and sends it to its endpoint.
//
// What the sources' member (izot/lon-stack-ex LonTalkStack/Source/ShareIp/LtIpMaster.cpp,
// doRFCin, setNewServers, doRFCRequest, doRequestInfo, setNewMembers, updateClientRouting; the
// segments in Segment.cpp, LtIpSegmentor::receivedPacket and LtIpSegReq) does, and so these do:
//
// - It takes configuration (channel membership, send list, channel routing) only from its
//   configuration server, and from anyone while it knows none (doRFCin, "m_ipAddrCfgServer ==
//   0"). It takes a device configuration from anyone, "so a new config server can show up"; this
//   member does not: once it knows a server, anyone else's device configuration is refused too.
// - It acknowledges a device configuration only (code ok, request id 0, to the sender), after
//   taking its configuration server, time servers, name and channel timeout (setNewServers). A
//   new configuration server makes it forget the channel membership it held.
// - It acknowledges neither channel membership nor send list nor channel routing ("removed to
//   follow RFC"). It keeps a membership or routing only when its date-time is later than the one
//   it holds; a routing whose date-time differs from its member's date-time in the membership is
//   answered "bad message". A membership of more than 256 members, or with a member twice, is
//   refused. The sources' member ignores send lists altogether and refuses to be asked for one.
// - It answers requests from anyone, about itself or what it holds, or "refused" with the
//   request's id when it holds nothing to answer with. Each answer longer than 548 bytes goes as
//   segments with the request's id; segments from one sender and request id are put together
//   when segment 0 has come (its packet must be a membership or routing; this member also takes a
//   send list), the segments of a later date-time start over, a partial packet quiet for 10 s or
//   older than 30 s is dropped, and after 900 ms of quiet the first missing segment is asked for
//   again with the request's type (LtIpSegReq::getInboundRequest).
//
// What a router needs before it forwards data to a member, and back (LtIpMaster.cpp
// setNewMembers, updateClientRouting, doRequestInfo; LtLreIpClient.cpp setRouting, getRoute,
// getAddress; IpLink.cpp CIpLink::determineReceiveClient): the member must be in the channel
// membership, and the router must hold a channel routing for that member's address and port. Only
// a routing makes the router open a link to the member: without one, the router neither sends to
// it nor takes its data packets (they reach the configuration handler, which drops them). So a PC
// that is a plain tool still needs a channel routing of its own; its routing says what the router
// forwards to it (the routing's domains with their subnet and group masks, its subnet/node
// entries and Neuron IDs, its router type), and Ip852NodeRouting builds the one a single node has.
// The router asks the configuration server for each member's routing it lacks (request id 1000
// plus the member's index); "refused" makes it stop asking. It asks again whenever the routing's
// date-time in a new membership differs from the one it holds. The send list does not matter: the
// sources' router ignores it and sends to every member it holds a routing for.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "lon/Bytes.h"
#include "lon/Clock.h"
#include "lon/Ip852Config.h"

namespace lon {

// The time as the logic reads it: the steady clock for its timeouts, and the wall clock's
// date-time (Ip852DateTime) for the packets it makes.
struct Ip852Instant {
    Millis steady{0};
    std::uint32_t dateTime = 0;
};

// A packet to send: its type and payload, for the caller to frame and send to `to`.
struct Ip852Outgoing {
    Ip852Endpoint to;
    std::uint8_t type = 0;
    Bytes payload;
    bool operator==(const Ip852Outgoing&) const = default;
};

// A configuration packet as it goes to `to`: whole when its framed packet is at most 548 bytes,
// else as the segments that carry it (its own header with session, sequence and timestamp 0, as
// the sources' receivers read only its length and type), from segment `from` on, all of them or
// the one. A segment asked for that does not exist goes as one without the valid flag.
std::vector<Ip852Outgoing> Ip852Packets(Ip852Endpoint to, std::uint8_t type, const Bytes& payload,
                                        std::uint16_t requestId, std::uint8_t from = 0,
                                        bool all = true);

// Segmented packets being put back together, one per sender and request id, in bounded memory.
struct Ip852Reassembled {
    std::uint8_t type = 0;
    Bytes payload;
    std::uint16_t requestId = 0;
};

class Ip852Reassembly {
public:
    // The segments a request names: from whom, which request, the first segment missing, and the
    // type of request that asks for the packet carried.
    struct Missing {
        Ip852Endpoint from;
        std::uint16_t requestId = 0;
        std::uint8_t segmentId = 0;
        std::uint8_t requestType = 0;
        std::uint32_t dateTime = 0;
    };

    static constexpr Millis kAskAfter{900};
    static constexpr Millis kQuiet{10000};
    static constexpr Millis kLongest{30000};

    // Keeps at most `maxPending` partial packets at once: a member hears from its server, a server
    // from every member.
    explicit Ip852Reassembly(std::size_t maxPending = 4) : maxPending_(maxPending) {}

    // The carried packet once its last segment is in; nothing before, or when the segment was
    // dropped (Dropped counts those).
    std::optional<Ip852Reassembled> Add(Ip852Endpoint from, const Ip852Segment& segment,
                                        Millis now);
    // Drops the partial packets gone quiet or too old; names the first missing segment of each
    // other one that has been quiet for 900 ms, at most once in 900 ms.
    std::vector<Missing> Stalled(Millis now);

    std::size_t Pending() const { return pending_.size(); }
    std::uint64_t Dropped() const { return dropped_; }

private:
    struct Partial {
        Ip852Endpoint from;
        std::uint16_t requestId = 0;
        std::uint32_t dateTime = 0;
        std::uint8_t type = 0;
        std::vector<std::optional<Bytes>> segments;
        std::optional<std::size_t> final;  // the id of the segment flagged final
        std::size_t bytes = 0;
        Millis started{0};
        Millis heard{0};
        Millis asked{0};
    };

    Partial* Find(Ip852Endpoint from, std::uint16_t requestId);
    Partial& Open(Ip852Endpoint from, const Ip852Segment& segment, std::uint8_t type, Millis now);
    std::optional<Ip852Reassembled> Completed(const Partial& partial) const;
    void Erase(const Partial& partial);
    void Drop(const Partial& partial);
    std::optional<Ip852Reassembled> Refuse();

    std::size_t maxPending_;
    std::vector<Partial> pending_;
    std::uint64_t dropped_ = 0;
};

// Gives each packet made a date-time later than the last one, however the wall clock steps.
class Ip852DateTimes {
public:
    std::uint32_t Next(std::uint32_t now);
    std::uint32_t Last() const { return last_; }

private:
    std::uint32_t last_ = 0;
};

struct Ip852MemberCounters {
    std::uint64_t applied = 0;          // configuration taken
    std::uint64_t current = 0;          // configuration with the date-time of the one held
    std::uint64_t stale = 0;            // older, or a routing that disagrees with the membership
    std::uint64_t refused = 0;          // configuration from someone other than the server
    std::uint64_t malformed = 0;        // what does not decode, or lists the member cannot take
    std::uint64_t answered = 0;         // requests answered, "refused" included
    std::uint64_t ignored = 0;          // packets of no concern to configuration
    std::uint64_t segmentsDropped = 0;  // repeated, out of date, past the bounds, gone quiet
};

struct Ip852MemberOptions {
    Ip852Endpoint self;  // this member's unicast address and port, as the channel knows them
    std::vector<NeuronId> neuronIds;
    std::string name;
    std::optional<Ip852Endpoint> configServer;
    std::uint16_t channelTimeout = 1000;  // the sources' default (LtIpMaster constructor)
    // What this member routes: sent to the server when it configures the member, and answered
    // to a request for it. Without one, no router forwards to this member.
    std::optional<Ip852ChannelRouting> routing;
};

// A member of a channel: holds what the configuration server told it.
class Ip852Member {
public:
    explicit Ip852Member(Ip852MemberOptions options);

    // A packet from `from`: what to send back.
    std::vector<Ip852Outgoing> Handle(std::uint8_t type, ByteView payload, Ip852Endpoint from,
                                      Ip852Instant now);
    // Drops partial segmented packets gone quiet, and asks again for the missing segments of the
    // others.
    std::vector<Ip852Outgoing> Tick(Ip852Instant now);
    // This member's device registration to its configuration server; nothing while it knows none.
    // Its date-time changes only when what it says changes.
    std::optional<Ip852Outgoing> Register(Ip852Instant now);
    // A request to the configuration server with a request id of its own (1 to 999: not 0, which
    // an acknowledgement of no request carries, and below the sources' routing requests' 1000).
    // `address` names the member whose routing a routing request asks for.
    std::optional<Ip852Outgoing> Request(std::uint8_t type, Ip852Instant now,
                                         std::uint32_t address = 0);
    void SetConfigServer(std::optional<Ip852Endpoint> server);

    bool IsMember(Ip852Endpoint endpoint) const;
    // The send list the server sent; before one came, every member but this one (where the
    // sources' router sends).
    std::vector<Ip852Endpoint> SendList() const;
    std::uint16_t ChannelTimeout() const { return channelTimeout_; }
    std::optional<Ip852Endpoint> ConfigServer() const { return configServer_; }
    const std::vector<Ip852MemberEntry>& Members() const { return membership_.members; }
    std::uint32_t MembershipDateTime() const { return membership_.dateTime; }
    std::optional<Ip852ChannelRouting> RoutingOf(Ip852Endpoint member) const;
    // The server acknowledged this member's own routing.
    bool RoutingAcknowledged() const { return routingAcknowledged_; }
    const Ip852MemberCounters& Counters() const { return counters_; }

private:
    bool FromAuthority(Ip852Endpoint from) const;
    std::vector<Ip852Outgoing> Configure(std::uint8_t type, ByteView payload, Ip852Endpoint from,
                                         Ip852Instant now);
    std::vector<Ip852Outgoing> TakeDevice(ByteView payload, Ip852Endpoint from, Ip852Instant now);
    void TakeMembership(ByteView payload);
    void TakeSendList(ByteView payload);
    std::vector<Ip852Outgoing> TakeRouting(ByteView payload, Ip852Endpoint from, Ip852Instant now);
    std::vector<Ip852Outgoing> TakeSegment(ByteView payload, Ip852Endpoint from, Ip852Instant now);
    std::vector<Ip852Outgoing> Answer(std::uint8_t type, ByteView payload, Ip852Endpoint from,
                                      Ip852Instant now);
    void TakeAck(ByteView payload, Ip852Endpoint from);
    bool Newer(std::uint32_t dateTime, std::uint32_t held, bool holding);
    std::optional<Ip852ChannelRouting> RoutingFor(std::uint32_t address, Ip852Instant now);
    const Ip852ChannelRouting& OwnRouting(Ip852Instant now);
    Ip852Device Device(std::uint32_t dateTime) const;
    std::uint32_t DeviceDateTime(Ip852Instant now);

    Ip852MemberOptions options_;
    std::optional<Ip852Endpoint> configServer_;
    std::uint16_t channelTimeout_;
    Ip852Endpoint timeServer_;
    Ip852Endpoint timeServer2_;
    Bytes name_;
    std::optional<Ip852ChannelRouting> ownRouting_;
    bool holdsMembership_ = false;
    Ip852Membership membership_;
    std::optional<Ip852SendList> sendList_;
    std::vector<Ip852ChannelRouting> routings_;
    Ip852Reassembly reassembly_;
    Ip852DateTimes dateTimes_;
    Bytes registered_;  // the last registration, with date-time 0
    std::uint32_t registeredAt_ = 0;
    std::uint16_t requestId_ = 0;
    bool routingSent_ = false;
    bool routingAcknowledged_ = false;
    Ip852MemberCounters counters_;
};

// A member of the channel a configuration server configures. Its routing is what it routes when
// that is known beforehand (this PC's, built with Ip852NodeRouting); a router's arrives from the
// router itself once it is configured.
struct Ip852PlannedMember {
    Ip852Endpoint endpoint;
    std::optional<Ip852ChannelRouting> routing;
    std::string name;  // sent in its device configuration; empty leaves its own
    // One of this PC's own members (a port of its own besides the server's): listed with its
    // routing, never configured.
    bool thisPc = false;
};

struct Ip852ServerOptions {
    Ip852Endpoint self;  // this PC: the configuration server, and the member it does not configure
    std::vector<Ip852PlannedMember> members;  // at most 256, this PC among them
    std::uint16_t channelTimeout = 1000;
    // 0.0.0.0: none. A router told of no time server stamps its data packets with 0
    // (LtIpMaster.h useTimestamp), which a member without a synchronised clock needs.
    Ip852Endpoint timeServer;
    Ip852Endpoint timeServer2;
    Millis retryAfter{1000};
    int retries = 3;  // sends after the first before a member fails
    // The last date-time an earlier run gave its packets: members keep only what is newer, so a
    // run in the same second as the last one dates its packets after that run's.
    std::uint32_t after = 0;
};

// Where the server is with one member. Each step sends one configuration packet and waits for its
// answer: the device configuration for the acknowledgement; the membership, send list and each
// other member's routing for the member's own copy, which a request sent with it asks for (the
// sources' member acknowledges none of them, and answers requests with what it holds). The
// membership is seen in the member's device configuration, which carries the date-time of the
// membership it holds; the send list and routings in their copies. An acknowledgement "ok" of
// request id 0 confirms any step, for members that acknowledge; "not supported" to the request
// confirms it unseen (the sources' member says so of send lists).
enum class Ip852MemberState : std::uint8_t { Pending, Sent, Acknowledged, Failed };
enum class Ip852Step : std::uint8_t {
    DeviceConfiguration,
    ChannelMembership,
    SendList,
    ChannelRouting,
    Done
};
const char* Ip852StepName(Ip852Step step);

struct Ip852MemberProgress {
    Ip852Endpoint endpoint;
    Ip852MemberState state = Ip852MemberState::Pending;
    Ip852Step step = Ip852Step::DeviceConfiguration;
    Ip852Endpoint routingOf;  // whose routing, in the routing step
    int sends = 0;            // of the current step
    std::string reason;       // why it failed, or what was taken unseen
};

struct Ip852ServerCounters {
    std::uint64_t strangers = 0;  // packets from outside the channel
    std::uint64_t malformed = 0;
    std::uint64_t answered = 0;  // members' requests answered
    std::uint64_t ignored = 0;   // packets of members that answer nothing the server waits for
};

// The channel's configuration server, as a PC acts it for a site with none.
class Ip852ConfigServer {
public:
    explicit Ip852ConfigServer(Ip852ServerOptions options);

    // Starts configuring every member but this PC: their first packets.
    std::vector<Ip852Outgoing> Start(Ip852Instant now);
    // A packet from `from`: acknowledgements and copies that confirm a step, a member's
    // registration (it starts over), its own routing (kept and acknowledged; the membership dated
    // anew goes to every member again at the next tick, with the routings after it), its requests
    // (answered), segments.
    std::vector<Ip852Outgoing> Handle(std::uint8_t type, ByteView payload, Ip852Endpoint from,
                                      Ip852Instant now);
    std::vector<Ip852Outgoing> Acknowledged(Ip852Endpoint from, ByteView payload, Ip852Instant now);
    // Sends again what has waited its time; a member out of retries fails.
    std::vector<Ip852Outgoing> Tick(Ip852Instant now);

    std::vector<Ip852MemberProgress> Progress() const;
    std::optional<Ip852MemberProgress> ProgressOf(Ip852Endpoint member) const;
    // Every member acknowledged or failed.
    bool Done() const;
    const Ip852Membership& Membership() const { return membership_; }
    Ip852Device DeviceConfigurationFor(Ip852Endpoint member) const;
    Ip852SendList SendListFor(Ip852Endpoint member) const;
    const Ip852ServerCounters& Counters() const { return counters_; }
    // The latest date-time given a packet so far, for the next run's `after`.
    std::uint32_t LastDateTime() const { return dateTimes_.Last(); }

private:
    struct Job {
        Ip852MemberProgress progress;
        std::size_t routing = 0;  // index into members_ of the routing being sent
        Millis sentAt{0};
        std::uint16_t pushId = 0;    // of a configuration packet sent as segments
        std::uint16_t verifyId = 0;  // of the request for the member's copy
    };

    Job* JobOf(Ip852Endpoint member);
    Ip852PlannedMember* PlannedOf(Ip852Endpoint member);
    std::pair<std::uint8_t, Bytes> StepPacket(const Job& job) const;
    std::vector<Ip852Outgoing> Send(Job& job, Ip852Instant now);
    std::vector<Ip852Outgoing> Advance(Job& job, Ip852Instant now, const std::string& note = {});
    bool NextRouting(Job& job, std::size_t from);
    void Fail(Job& job, std::string reason);
    std::vector<Ip852Outgoing> Confirm(Job& job, std::uint8_t type, ByteView payload,
                                       Ip852Instant now);
    std::vector<Ip852Outgoing> TakeRouting(Job& job, ByteView payload, Ip852Endpoint from,
                                           Ip852Instant now);
    std::vector<Ip852Outgoing> Answer(Job& job, std::uint8_t type, ByteView payload,
                                      Ip852Instant now);
    std::vector<Ip852Outgoing> TakeSegment(ByteView payload, Ip852Endpoint from, Ip852Instant now);
    void Replan(Ip852Instant now);
    void SendAgainSoon(Job& job, Ip852Instant now);

    Ip852ServerOptions options_;
    std::vector<Job> jobs_;
    Ip852Membership membership_;
    std::uint32_t configuredAt_ = 0;
    Ip852DateTimes dateTimes_;
    Ip852Reassembly reassembly_{kIp852MaxMembers};
    std::uint16_t requestId_ = 0;
    Ip852ServerCounters counters_;
};

}  // namespace lon
