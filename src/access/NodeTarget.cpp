#include "access/NodeTarget.h"

namespace host {
namespace {

constexpr std::string_view kSimulatedPrefix = "sim:";
constexpr std::string_view kLinkPrefix = "lonip://";

// "lonip://ROUTER:PORT NODE" into the router and the node.
std::optional<std::string> ParseLinked(const std::string& text, LinkSettings& settings) {
    const std::size_t blank = text.find(' ');
    if (blank == std::string::npos) {
        return "no node after the router in " + text;
    }
    if (auto problem = ParseLinkUrl(text.substr(0, blank), settings)) {
        return problem;
    }
    const std::string node = text.substr(blank + 1);
    settings.node.byNeuronId = node.find('/') == std::string::npos;
    return settings.node.byNeuronId ? ParseNeuronId(node, settings.node.neuronId)
                                    : ParseSubnetNode(node, settings.node.node);
}

}  // namespace

NodeTarget NodeTarget::Simulated(std::string stateFile) {
    NodeTarget target;
    target.stateFile = std::move(stateFile);
    return target;
}

NodeTarget NodeTarget::OfSite(std::string site, std::string node) {
    NodeTarget target;
    target.kind = Kind::SiteNode;
    target.site = std::move(site);
    target.node = std::move(node);
    return target;
}

NodeTarget NodeTarget::Linked(LinkSettings link) {
    NodeTarget target;
    target.kind = Kind::Linked;
    target.link = std::move(link);
    return target;
}

NodeTarget::Kind NodeTargetKind(const std::string& text) {
    return text.starts_with(kSimulatedPrefix) ? NodeTarget::Kind::Simulated
           : text.starts_with(kLinkPrefix)    ? NodeTarget::Kind::Linked
                                              : NodeTarget::Kind::SiteNode;
}

std::optional<std::string> ParseNodeTarget(const std::string& text, NodeTarget& target) {
    const NodeTarget::Kind kind = NodeTargetKind(text);
    if (kind == NodeTarget::Kind::Simulated) {
        target = NodeTarget::Simulated(text.substr(kSimulatedPrefix.size()));
        return std::nullopt;
    }
    if (kind == NodeTarget::Kind::Linked) {
        LinkSettings settings;
        if (auto problem = ParseLinked(text, settings)) {
            return problem;
        }
        target = NodeTarget::Linked(std::move(settings));
        return std::nullopt;
    }
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos) {
        return "not a node of a site: " + text;
    }
    target = NodeTarget::OfSite(text.substr(0, slash), text.substr(slash + 1));
    return std::nullopt;
}

std::string NodeTargetText(const NodeTarget& target) {
    switch (target.kind) {
        case NodeTarget::Kind::Simulated:
            return std::string(kSimulatedPrefix) + target.stateFile;
        case NodeTarget::Kind::SiteNode:
            return target.site + "/" + target.node;
        case NodeTarget::Kind::Linked:
            break;
    }
    const lon::Target& node = target.link.node;
    return LinkUrl(target.link) + " " +
           (node.byNeuronId ? NeuronIdText(node.neuronId) : SubnetNodeText(node.node));
}

}  // namespace host
