#include "site/SiteConfigure.h"

#include <algorithm>
#include <chrono>
#include <set>
#include <system_error>

#include "link/CaptureFile.h"
#include "link/LinkSettings.h"
#include "link/MemberConfiguration.h"
#include "lon/Channel.h"
#include "lon/Ip852Config.h"
#include "lon/Ip852Member.h"
#include "lon/UdpDatagram.h"

namespace host {
namespace {

// Who the channel's members are and where this PC configures them from.
struct Plan {
    lon::Endpoint server;  // this PC as the configuration server
    std::vector<ConfiguredMember> members;
    std::vector<lon::Endpoint> endpoints;  // of each member, in the same order
    std::vector<int> localPorts;           // each link's, chosen where it was "any"
};

std::string AddRouters(const Site& site, Plan& plan) {
    for (const SiteLink& link : site.links) {
        LinkSettings settings;
        lon::Endpoint router;
        if (auto problem = ParseLinkUrl(link.url, settings)) {
            return *problem;
        }
        if (auto problem =
                ParseEndpoint(settings.router + ":" + std::to_string(settings.port), router)) {
            return "channel " + std::to_string(link.channel) + "'s router " + *problem;
        }
        plan.members.push_back({{EndpointText(router), "router", ""}, link.channel, false});
        plan.endpoints.push_back(router);
    }
    return "";
}

// This PC's members: each link's local port, a free one chosen where the link takes any, kept
// apart from the others and from the server's port.
void AddThisPc(const Site& site, Plan& plan) {
    std::set<int> taken{plan.server.port};
    for (const SiteLink& link : site.links) {
        int port = link.localPort;
        while (port == 0 || taken.contains(port)) {
            port = lon::FreeUdpPort(plan.server.address);
        }
        taken.insert(port);
        plan.localPorts.push_back(port);
        const lon::Endpoint member{plan.server.address, static_cast<std::uint16_t>(port)};
        plan.members.push_back({{EndpointText(member), "this PC", ""}, link.channel, false});
        plan.endpoints.push_back(member);
    }
}

std::string PlanChannel(const Site& site, Plan& plan) {
    const bool authenticated = site.links.front().authenticated;
    if (std::any_of(site.links.begin(), site.links.end(),
                    [&](const SiteLink& link) { return link.authenticated != authenticated; })) {
        return "the routers of one IP channel share its secret: mark every link of the site "
               "authenticated or none";
    }
    if (std::string problem = AddRouters(site, plan); !problem.empty()) {
        return problem;
    }
    try {
        plan.server.address = lon::LocalAddressTowards(plan.endpoints.front());
        plan.server.port = site.configuration
                               ? static_cast<std::uint16_t>(site.configuration->serverPort)
                               : lon::FreeUdpPort(plan.server.address);
        AddThisPc(site, plan);
    } catch (const std::system_error& error) {
        return error.what();
    }
    return "";
}

lon::Ip852ServerOptions ServerOptions(const Site& site, const Plan& plan,
                                      const ConfigureOptions& options, int channelTimeout) {
    lon::Ip852ServerOptions server;
    server.self = plan.server;
    server.channelTimeout = static_cast<std::uint16_t>(channelTimeout);
    server.retryAfter = options.retryAfter;
    server.retries = options.retries;
    server.after = site.configuration ? site.configuration->dateTime : 0;
    for (std::size_t i = 0; i < plan.members.size(); ++i) {
        lon::Ip852PlannedMember member{plan.endpoints[i], std::nullopt, {}, false};
        if (plan.members[i].member.role == "this PC") {
            member.thisPc = true;
            member.routing =
                lon::Ip852NodeRouting(plan.endpoints[i], lon::NeuronId{}, site.domain, site.source);
        }
        server.members.push_back(std::move(member));
    }
    return server;
}

// Runs the configuration over one socket at the server's port until every router took it or
// failed; what failed its digest is told apart by its sender.
class ConfigurationRun {
public:
    ConfigurationRun(const Plan& plan, const lon::Bytes& secret, const Site& site)
        : udp_(clock_, lon::Ip852AddressText(plan.server.address), plan.server.port),
          secret_(secret),
          channel_(udp_, clock_, ChannelOptionsOf(secret, site)),
          server_(plan.server) {
        udp_.AcceptAnyone();
    }

    std::optional<std::string> Capture(const CaptureTarget& target) {
        if (target.empty()) {
            return std::nullopt;
        }
        return capture_.Open(target);
    }

    void Run(lon::Ip852ConfigServer& configuration, lon::Millis longest) {
        channel_.SetCapture(
            [this](bool outgoing, lon::ByteView datagram, const lon::Endpoint& peer) {
                if (capture_.IsOpen()) {
                    capture_.Write(outgoing, server_, peer, datagram);
                }
                if (!outgoing &&
                    lon::DecodeIp852(datagram, secret_).fault == lon::Ip852Fault::BadDigest) {
                    badDigest_.insert(peer);
                }
            });
        channel_.SetControl([&](const lon::Ip852Packet& packet, const lon::Endpoint& from) {
            Send(configuration.Handle(packet.header.type, packet.payload, from,
                                      Ip852Now(clock_.Now())));
        });
        const lon::Millis until = clock_.Now() + longest;
        Send(configuration.Start(Ip852Now(clock_.Now())));
        while (!configuration.Done() && clock_.Now() < until) {
            channel_.Receive(clock_.Now() + lon::Millis(50));
            Send(configuration.Tick(Ip852Now(clock_.Now())));
        }
    }

    bool FailedDigest(const lon::Endpoint& member) const { return badDigest_.contains(member); }

private:
    static lon::Channel::Options ChannelOptionsOf(const lon::Bytes& secret, const Site& site) {
        lon::Channel::Options options;
        options.secret = secret;
        options.session = lon::NewSessionId();
        options.timeSynced = site.timeSynced;
        return options;
    }

    void Send(const std::vector<lon::Ip852Outgoing>& packets) {
        SendConfiguration(channel_, packets);
    }

    lon::SteadyClock clock_;
    lon::UdpDatagram udp_;
    lon::Bytes secret_;
    lon::Channel channel_;
    lon::Endpoint server_;
    CaptureFile capture_;
    std::set<lon::Endpoint> badDigest_;
};

// A router drops what fails its digest without a word: on an authenticated channel silence may
// be a secret that differs, and what came back with a bad digest surely is one.
std::string StateOf(const lon::Ip852MemberProgress& progress, bool failedDigest,
                    bool authenticated) {
    switch (progress.state) {
        case lon::Ip852MemberState::Acknowledged:
            return "acknowledged";
        case lon::Ip852MemberState::Failed:
            if (failedDigest) {
                return "failed: authentication: what it sent failed the channel's secret";
            }
            return "failed: " + progress.reason +
                   (authenticated && progress.reason.find("did not answer") != std::string::npos
                        ? "; if it is there, the channel's secret may differ"
                        : "");
        default:
            return "failed: no answer in time (" + std::string(lon::Ip852StepName(progress.step)) +
                   " sent)";
    }
}

}  // namespace

std::string ConfigureSiteChannel(const std::string& siteName, const lon::Bytes& secret,
                                 const ConfigureOptions& options,
                                 std::vector<ConfiguredMember>& members,
                                 const std::function<void(const ConfiguredMember&)>& progress) {
    Site site;
    if (std::string problem = LoadNamedSite(siteName, site); !problem.empty()) {
        return problem;
    }
    Plan plan;
    if (std::string problem = PlanChannel(site, plan); !problem.empty()) {
        return "site " + siteName + ": " + problem;
    }
    const int channelTimeout = options.channelTimeout >= 0 ? options.channelTimeout
                               : site.configuration        ? site.configuration->channelTimeout
                                                           : 1000;
    lon::Ip852ConfigServer server(ServerOptions(site, plan, options, channelTimeout));
    try {
        ConfigurationRun run(plan, secret, site);
        if (auto problem = run.Capture(options.capture)) {
            return *problem;
        }
        const auto steps = static_cast<int>(4 + plan.members.size());
        run.Run(server, steps * (options.retries + 2) * options.retryAfter);
        for (std::size_t i = 0; i < plan.members.size(); ++i) {
            ConfiguredMember& member = plan.members[i];
            if (member.member.role == "this PC") {
                member.member.state = "listed";
                member.acknowledged = true;
            } else if (const auto state = server.ProgressOf(plan.endpoints[i])) {
                member.member.state =
                    StateOf(*state, run.FailedDigest(plan.endpoints[i]), !secret.empty());
                member.acknowledged = state->state == lon::Ip852MemberState::Acknowledged;
            }
            if (progress) {
                progress(member);
            }
        }
    } catch (const std::system_error& error) {
        return "the configuration server's port " + std::to_string(plan.server.port) + ": " +
               error.what();
    }
    members = plan.members;
    return UpdateSite(SitePath(siteName), [&](Site& saved) {
        for (std::size_t i = 0; i < saved.links.size() && i < plan.localPorts.size(); ++i) {
            saved.links[i].localPort = plan.localPorts[i];
        }
        SiteChannelConfiguration configuration{lon::Ip852AddressText(plan.server.address),
                                               plan.server.port,
                                               channelTimeout,
                                               UtcNow(),
                                               server.LastDateTime(),
                                               {}};
        for (const ConfiguredMember& member : plan.members) {
            configuration.members.push_back(member.member);
        }
        saved.configuration = std::move(configuration);
    });
}

std::string RegisterSiteLink(const Site& site, const SiteLink& link, const lon::Endpoint& server,
                             const lon::Bytes& secret, lon::Millis wait) {
    lon::SteadyClock clock;
    const lon::Endpoint self{lon::LocalAddressTowards(server),
                             static_cast<std::uint16_t>(link.localPort)};
    lon::UdpDatagram udp(clock, lon::Ip852AddressText(self.address), self.port);
    udp.SetPeer(server);
    udp.AcceptAnyone();
    lon::Channel::Options options;
    options.secret = link.authenticated ? secret : lon::Bytes{};
    options.session = lon::NewSessionId();
    options.timeSynced = site.timeSynced;
    lon::Channel channel(udp, clock, options);
    lon::Ip852Member member(
        {self,
         {},
         "Vireo",
         server,
         1000,
         lon::Ip852NodeRouting(self, lon::NeuronId{}, site.domain, site.source)});
    const auto send = [&channel](const std::vector<lon::Ip852Outgoing>& packets) {
        SendConfiguration(channel, packets);
    };
    channel.SetControl([&](const lon::Ip852Packet& packet, const lon::Endpoint& from) {
        send(member.Handle(packet.header.type, packet.payload, from, Ip852Now(clock.Now())));
    });
    const lon::Millis until = clock.Now() + wait;
    lon::Millis registerAt = clock.Now();
    while (member.Counters().applied == 0 && clock.Now() < until) {
        if (clock.Now() >= registerAt) {
            if (const auto registration = member.Register(Ip852Now(clock.Now()))) {
                send({*registration});
            }
            registerAt = clock.Now() + lon::Millis(1000);
        }
        channel.Receive(std::min(until, registerAt));
        send(member.Tick(Ip852Now(clock.Now())));
    }
    if (member.Counters().applied == 0) {
        return "no configuration from " + EndpointText(server) + " in " +
               std::to_string(wait.count() / 1000) + " s" +
               (channel.Counters().badDigest > 0 ? "; its packets failed the channel's secret"
                                                 : "");
    }
    return "";
}

bool SiteChannelConfigured(const Site& site) {
    return site.configuration &&
           std::all_of(site.configuration->members.begin(), site.configuration->members.end(),
                       [](const SiteMember& member) {
                           return member.state == "acknowledged" || member.state == "listed";
                       });
}

}  // namespace host
