#include "host/NodeChoice.h"

#include <QSettings>
#include <QStringList>

#include "access/NodeTarget.h"
#include "framework/Desktop.h"
#include "host/Host.h"
#include "host/SecretStore.h"
#include "site/Site.h"

namespace host {
namespace {

constexpr int kRecentCount = 10;
bool IsLinkKey(const std::string& key) {
    return NodeTargetKind(key) == NodeTarget::Kind::Linked;
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

std::string OpenLinkedTarget(const LinkSettings& settings) {
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
    return NodeTargetText(NodeTarget::Simulated(path));
}

std::string SiteNodeKey(const std::string& site, const std::string& node) {
    return NodeTargetText(NodeTarget::OfSite(site, node));
}

std::string LinkKey(const LinkSettings& settings) {
    return NodeTargetText(NodeTarget::Linked(settings));
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
    NodeTarget target;
    std::string error;
    if (std::optional<std::string> problem = ParseNodeTarget(key, target)) {
        error = *problem;
    } else if (target.kind == NodeTarget::Kind::Simulated) {
        error = OpenSheetOnSimulatedNode(target.stateFile, speed);
    } else if (target.kind == NodeTarget::Kind::Linked) {
        error = OpenLinkedTarget(target.link);
    } else {
        error = OpenSiteNode(target.site, target.node);
    }
    if (error.empty()) {
        RememberNode(key);
    }
    return error;
}

}  // namespace host
