#include "host/NodeChoice.h"

#include <QSettings>
#include <QStringList>

#include "framework/Desktop.h"
#include "host/Host.h"
#include "host/SecretStore.h"
#include "site/Site.h"

namespace host {
namespace {

constexpr int kRecentCount = 10;
constexpr const char* kSimulatedPrefix = "sim:";
constexpr const char* kLinkPrefix = "lonip://";

bool IsLinkKey(const std::string& key) {
    return key.rfind(kLinkPrefix, 0) == 0;
}

QString ListOf(const std::string& key) {
    return IsLinkKey(key) ? QStringLiteral("recent/links") : QStringLiteral("recent/nodes");
}

std::vector<std::string> Recent(const QString& list) {
    std::vector<std::string> keys;
    for (const QString& key : QSettings("Vireo", "Vireo").value(list).toStringList()) {
        keys.push_back(key.toStdString());
    }
    return keys;
}

// "lonip://ROUTER:PORT NODE" back into the router and the node.
std::optional<std::string> ReadLinkKey(const std::string& key, LinkSettings& settings) {
    const std::size_t blank = key.find(' ');
    if (blank == std::string::npos) {
        return "no node after the router in " + key;
    }
    if (auto problem = ParseLinkUrl(key.substr(0, blank), settings)) {
        return problem;
    }
    const std::string node = key.substr(blank + 1);
    settings.node.byNeuronId = node.find('/') == std::string::npos;
    return settings.node.byNeuronId ? ParseNeuronId(node, settings.node.neuronId)
                                    : ParseSubnetNode(node, settings.node.node);
}

std::string OpenLinkKey(const std::string& key) {
    LinkSettings settings;
    if (auto problem = ReadLinkKey(key, settings)) {
        return *problem;
    }
    platform::Desktop::Current().SetNodeNote("Node " + TargetText(settings.node) + " at " +
                                             LinkUrl(settings));
    return OpenSheetOnLink(settings);
}

std::string OpenSiteNode(const std::string& siteName, const std::string& nodeName) {
    LinkSettings settings;
    int channel = 0;
    if (auto problem = SiteNodeSettings(siteName, nodeName, settings, &channel)) {
        return *problem;
    }
    platform::Desktop::Current().SetNodeNote(SiteNodeNote(siteName, channel, settings));
    return OpenSheetOnLink(settings);
}

}  // namespace

std::string SimulatedKey(const std::string& path) {
    return kSimulatedPrefix + path;
}

std::string SiteNodeKey(const std::string& site, const std::string& node) {
    return site + "/" + node;
}

std::string LinkKey(const LinkSettings& settings) {
    return LinkUrl(settings) + " " +
           (settings.node.byNeuronId ? NeuronIdText(settings.node.neuronId)
                                     : SubnetNodeText(settings.node.node));
}

void RememberNode(const std::string& key) {
    QSettings settings("Vireo", "Vireo");
    const QString list = ListOf(key);
    QStringList keys = settings.value(list).toStringList();
    keys.removeAll(QString::fromStdString(key));
    keys.prepend(QString::fromStdString(key));
    settings.setValue(list, keys.mid(0, kRecentCount));
}

std::vector<std::string> RecentNodes() {
    return Recent(QStringLiteral("recent/nodes"));
}

std::vector<std::string> RecentLinks() {
    return Recent(QStringLiteral("recent/links"));
}

std::string SiteNodeNote(const std::string& site, int channel, const LinkSettings& settings) {
    return "Site " + site + ", channel " + std::to_string(channel) + ", node " +
           SubnetNodeText(settings.node.node) + " at " + LinkUrl(settings);
}

std::string OpenNodeByKey(const std::string& key, double speed) {
    std::string error;
    if (key.rfind(kSimulatedPrefix, 0) == 0) {
        error = OpenSheetOnSimulatedNode(key.substr(std::string(kSimulatedPrefix).size()), speed);
    } else if (IsLinkKey(key)) {
        error = OpenLinkKey(key);
    } else {
        const std::size_t slash = key.find('/');
        error = slash == std::string::npos
                    ? "not a node of a site: " + key
                    : OpenSiteNode(key.substr(0, slash), key.substr(slash + 1));
    }
    if (error.empty()) {
        RememberNode(key);
    }
    return error;
}

}  // namespace host
