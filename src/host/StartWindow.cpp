#include "host/StartWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <iostream>

#include "access/OpenNode.h"
#include "framework/Desktop.h"
#include "host/NodeChoice.h"
#include "host/Plugin.h"
#include "host/SecretStore.h"
#include "sim/SimNode.h"
#include "site/Site.h"
#include "site/SiteConfigure.h"
#include "site/SiteDiscovery.h"

namespace host {
namespace {

// What a row carries besides its texts.
constexpr int kKeyRole = Qt::UserRole;       // the node it opens (NodeChoice.h); empty: none
constexpr int kSiteRole = Qt::UserRole + 1;  // the site Discover listens on
constexpr int kUnconfiguredRole = Qt::UserRole + 3;  // a site whose routers wait for this PC
constexpr int kNeuronRole = Qt::UserRole + 2;        // a node's Neuron ID

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QTreeWidgetItem* Row(QTreeWidgetItem* parent, const QStringList& texts, const std::string& key) {
    auto* row = new QTreeWidgetItem(parent, texts);
    row->setData(0, kKeyRole, Q(key));
    return row;
}

// "1 channel", "2 channels".
QString Count(int count, const char* thing) {
    return QString::number(count) + ' ' + thing + (count == 1 ? "" : "s");
}

// "2026-12-08T09:30:00Z" as "2026-12-08 09:30 UTC".
QString SeenText(const std::string& lastSeen) {
    if (lastSeen.size() != 20 || lastSeen[10] != 'T' || lastSeen.back() != 'Z') {
        return Q(lastSeen);
    }
    return Q(lastSeen.substr(0, 10) + " " + lastSeen.substr(11, 5) + " UTC");
}

void Emphasize(QTreeWidgetItem* row) {
    QFont font = row->font(0);
    font.setBold(true);
    row->setFont(0, font);
}

}  // namespace

StartWindow::StartWindow(std::string simulatedNode, std::string site, Opener open)
    : simulatedNode_(std::move(simulatedNode)),
      site_(std::move(site)),
      open_(std::move(open)),
      tree_(new QTreeWidget(this)),
      openButton_(new QPushButton(tr("&Open"), this)),
      discoverButton_(new QPushButton(tr("&Discover"), this)),
      configureButton_(new QPushButton(tr("Con&figure routers"), this)),
      status_(new QLabel(this)) {
    setWindowTitle(tr("Vireo: sites and nodes"));
    tree_->setColumnCount(kColumns);
    tree_->setHeaderLabels({tr("Node"), tr("Channel"), tr("Address"), tr("Program ID"),
                            tr("Last seen"), tr("Plug-in")});
    tree_->setAlternatingRowColors(true);
    tree_->setUniformRowHeights(true);
    openButton_->setToolTip(tr("Open the configuration sheet on the selected node"));
    discoverButton_->setToolTip(
        tr("Listen on every channel of the selected site for the nodes that answer and those "
           "whose service pin is pressed, and save them into the site file"));
    configureButton_->setToolTip(
        tr("Make this PC the configuration server of the selected site's routers and a member "
           "of their channel, as 'vireo site configure' does"));
    status_->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(openButton_);
    buttons->addWidget(discoverButton_);
    buttons->addWidget(configureButton_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tree_);
    layout->addLayout(buttons);
    layout->addWidget(status_);
    connect(tree_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* row) { Open(row); });
    connect(tree_, &QTreeWidget::itemSelectionChanged, this, [this] { SelectionChanged(); });
    connect(openButton_, &QPushButton::clicked, this, [this] { Open(tree_->currentItem()); });
    connect(discoverButton_, &QPushButton::clicked, this, [this] {
        if (QTreeWidgetItem* row = tree_->currentItem()) {
            Discover(row->data(0, kSiteRole).toString().toStdString());
        }
    });
    connect(configureButton_, &QPushButton::clicked, this, [this] {
        if (QTreeWidgetItem* row = tree_->currentItem()) {
            Configure(row->data(0, kSiteRole).toString().toStdString());
        }
    });
    resize(960, 520);
    Fill();
}

StartWindow::~StartWindow() {
    for (std::thread& listener : listeners_) {
        listener.join();
    }
}

QString StartWindow::Status() const {
    return status_->text();
}

void StartWindow::Fill() {
    tree_->clear();
    plugins_ = std::make_unique<RegisteredPlugins>();
    std::string problem = plugins_->Problem();
    AddRecent();
    AddSimulatedNode(tree_->invisibleRootItem(), simulatedNode_);
    std::string listProblem;
    for (const std::string& name : ListSites(listProblem)) {
        AddSite(name);
    }
    if (!listProblem.empty()) {
        problem = listProblem;
    }
    status_->setText(problem.empty()
                         ? tr("Double-click a node, or select it and press Enter, to open its "
                              "sheet; Discover listens on the selected site's channels.")
                         : Q(problem));
    for (int column = 0; column < kColumns; ++column) {
        tree_->resizeColumnToContents(column);
    }
    SelectionChanged();
}

void StartWindow::AddRecent() {
    auto* group = new QTreeWidgetItem(tree_, {tr("Recent")});
    Emphasize(group);
    for (const std::string& key : RecentNodes()) {
        NodeTarget target;
        if (ParseNodeTarget(key, target)) {
            continue;
        }
        if (target.kind == NodeTarget::Kind::Simulated) {
            AddSimulatedNode(group, target.stateFile);
            continue;
        }
        Site site;
        const SiteNode* node = nullptr;
        if (LoadNamedSite(target.site, site).empty() &&
            (node = FindSiteNode(site, target.node)) != nullptr) {
            AddNode(group, site, *node, Q(key));
        }
    }
    for (const std::string& key : RecentLinks()) {
        const std::size_t blank = key.find(' ');
        Row(group, {Q(key.substr(blank + 1)), {}, Q(key.substr(0, blank))}, key);
    }
    if (group->childCount() == 0) {
        delete group;
        return;
    }
    group->setExpanded(true);
}

void StartWindow::AddSimulatedNode(QTreeWidgetItem* parent, const std::string& path) {
    OpenedNode opened;
    std::string programId;
    // A state file not made yet will be made for the controller this plug-in serves.
    if (!OpenNode(NodeTarget::Simulated(path),
                  {.hold = LockHold::None, .missing = MissingStateFile::Factory}, opened)) {
        programId = ProgramIdText(opened.Simulated()->GetProgramId());
    }
    Row(parent,
        {tr("Simulated node"), tr("-"), Q(path), Q(programId), {}, Q(PluginText(programId))},
        SimulatedKey(path));
}

void StartWindow::AddSite(const std::string& name) {
    Site site;
    if (const std::string error = LoadSite(SitePath(name), site); !error.empty()) {
        auto* row = new QTreeWidgetItem(tree_, {Q(name + ": " + error)});
        row->setFirstColumnSpanned(true);
        row->setForeground(0, Qt::darkRed);
        row->setToolTip(0, Q(error));
        return;
    }
    QStringList routers;
    for (const SiteLink& link : site.links) {
        routers << Q(link.url);
    }
    auto* row =
        new QTreeWidgetItem(tree_, {Q(name), Count(static_cast<int>(site.links.size()), "channel"),
                                    routers.join(QStringLiteral(", "))});
    row->setData(0, kSiteRole, Q(name));
    Emphasize(row);
    if (site.configServer.empty() && !SiteChannelConfigured(site)) {
        // A strict router drops what this PC sends until its channel lists it.
        row->setData(0, kUnconfiguredRole, true);
        row->setText(kPlugin, tr("routers not configured"));
        row->setForeground(kPlugin, Qt::darkRed);
        row->setToolTip(kPlugin, tr("This PC is no member of the routers' channel yet: "
                                    "\"Configure routers\" makes it one"));
    }
    for (const SiteNode& node : site.nodes) {
        AddNode(row, site, node, Q(node.name));
    }
    row->setExpanded(site_.empty() || site_ == name);
    if (site_ == name) {
        tree_->setCurrentItem(row);
    }
}

QTreeWidgetItem* StartWindow::AddNode(QTreeWidgetItem* parent, const Site& site,
                                      const SiteNode& node, const QString& label) {
    QTreeWidgetItem* row =
        Row(parent,
            {label, QString::number(node.channel), Q(SubnetNodeText(node.address)),
             Q(node.programId), SeenText(node.lastSeen), Q(PluginText(node.programId))},
            SiteNodeKey(site.name, node.name));
    row->setData(0, kSiteRole, Q(site.name));
    const std::string neuronId = NeuronIdText(node.neuronId);
    row->setData(0, kNeuronRole, Q(neuronId));
    row->setToolTip(0, Q("Neuron ID " + neuronId));
    if (newNodes_.contains(neuronId)) {
        row->setText(kNode, label + tr("  (new)"));
        Emphasize(row);
    }
    return row;
}

std::string StartWindow::PluginText(const std::string& programId) const {
    return plugins_->Serves(programId);
}

QTreeWidgetItem* StartWindow::SiteRow(const std::string& site) const {
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = tree_->topLevelItem(i);
        if (row->data(0, kKeyRole).toString().isEmpty() &&
            row->data(0, kSiteRole).toString() == Q(site)) {
            return row;
        }
    }
    return nullptr;
}

void StartWindow::SelectionChanged() {
    QTreeWidgetItem* row = tree_->currentItem();
    openButton_->setEnabled(row != nullptr && !row->data(0, kKeyRole).toString().isEmpty());
    const QString site = row != nullptr ? row->data(0, kSiteRole).toString() : QString();
    discoverButton_->setEnabled(!site.isEmpty() && !discoveries_.contains(site.toStdString()));
    QTreeWidgetItem* siteRow = site.isEmpty() ? nullptr : SiteRow(site.toStdString());
    configureButton_->setEnabled(siteRow != nullptr &&
                                 siteRow->data(0, kUnconfiguredRole).toBool() &&
                                 !configuring_.contains(site.toStdString()));
}

void StartWindow::Configure(const std::string& name) {
    Site site;
    platform::SecretBytes secret;
    if (auto problem = LoadSiteWithSecret(name, site, secret)) {
        status_->setText(Q(*problem));
        return;
    }
    configuring_.insert(name);
    status_->setText(tr("Configuring the routers of %1...").arg(Q(name)));
    listeners_.emplace_back([this, name, secret] {
        std::vector<ConfiguredMember> members;
        const std::string problem = ConfigureSiteChannel(name, secret, {}, members, nullptr);
        QStringList lines;
        int configured = 0;
        for (const ConfiguredMember& member : members) {
            configured += member.acknowledged ? 1 : 0;
            if (member.member.role == "router") {
                lines << Q(member.member.endpoint + ": " + member.member.state);
            }
        }
        const QString text = !problem.empty() ? Q(problem)
                                              : tr("Routers of %1: %2 of %3 members configured. %4")
                                                    .arg(Q(name))
                                                    .arg(configured)
                                                    .arg(members.size())
                                                    .arg(lines.join(QStringLiteral("; ")));
        QMetaObject::invokeMethod(
            this, [=, this] { ConfigurationEnded(name, text); }, Qt::QueuedConnection);
    });
    SelectionChanged();
}

void StartWindow::ConfigurationEnded(const std::string& site, const QString& text) {
    configuring_.erase(site);
    Fill();
    status_->setText(text);
    if (configurationEnded) {
        configurationEnded(site);
    }
}

void StartWindow::Open(QTreeWidgetItem* row) {
    const std::string key = row != nullptr ? row->data(0, kKeyRole).toString().toStdString() : "";
    if (key.empty()) {
        return;
    }
    hide();
    const std::string error = open_(key);
    show();
    raise();
    activateWindow();
    if (!error.empty()) {
        platform::Desktop::Current().MessageBox(error, "Vireo", platform::MessageButtons::Ok,
                                                platform::MessageIcon::Error);
    }
    Fill();
    // The node just opened stays selected: the recent list may have moved it.
    for (QTreeWidgetItemIterator it(tree_); *it != nullptr; ++it) {
        if ((*it)->data(0, kKeyRole).toString() == Q(key)) {
            tree_->setCurrentItem(*it);
            break;
        }
    }
}

void StartWindow::Discover(const std::string& name) {
    if (name.empty() || discoveries_.contains(name)) {
        return;
    }
    Site site;
    std::string problem = LoadNamedSite(name, site);
    platform::SecretBytes secret;
    const bool authenticated = std::any_of(site.links.begin(), site.links.end(),
                                           [](const SiteLink& link) { return link.authenticated; });
    if (problem.empty() && authenticated) {
        problem = LoadSiteSecret(name, secret);
    }
    if (problem.empty() && site.links.empty()) {
        problem = "The site " + name + " has no routers";
    }
    if (!problem.empty()) {
        status_->setText(Q(problem));
        return;
    }
    discoveries_[name] = 0;
    status_->setText(tr("Listening on %1 of %2 for %3 s; press a node's service pin to see it")
                         .arg(Count(static_cast<int>(site.links.size()), "channel"), Q(name))
                         .arg(static_cast<double>(listen_.count()) / 1000.0));
    listeners_.emplace_back([this, name, site, secret, listen = listen_, limits = limits_] {
        std::vector<std::string> problems;
        const auto heard = [&](const DiscoveredNode& node) {
            QMetaObject::invokeMethod(
                this, [=, this] { Heard(name, node); }, Qt::QueuedConnection);
        };
        const SiteDiscovery discovery = DiscoverSite(site, secret, listen, heard, problems, limits);
        const std::string saved = UpdateSite(SitePath(name), [&](Site& latest) {
            MergeDiscovered(latest, discovery.nodes, UtcNow());
        });
        if (!saved.empty()) {
            problems.push_back(saved);
        }
        // The message ends with the nodes left out, as it ends with any channel's problem.
        if (std::string leftOut = LeftOutText(discovery, limits); !leftOut.empty()) {
            problems.push_back(std::move(leftOut));
        }
        QMetaObject::invokeMethod(
            this, [=, this] { DiscoveryEnded(name, problems); }, Qt::QueuedConnection);
    });
    SelectionChanged();
}

void StartWindow::Heard(const std::string& site, const DiscoveredNode& node) {
    ++discoveries_[site];
    QTreeWidgetItem* row = SiteRow(site);
    const std::string neuronId = NeuronIdText(node.found.identity.neuronId);
    if (row == nullptr) {
        return;
    }
    for (int i = 0; i < row->childCount(); ++i) {
        if (row->child(i)->data(0, kNeuronRole).toString() == Q(neuronId)) {
            row->child(i)->setText(kLastSeen, tr("now"));
            return;
        }
    }
    if (!node.known) {
        newNodes_.insert(neuronId);
    }
    const std::string programId = ProgramIdText(node.found.identity.programId);
    auto* heard = new QTreeWidgetItem(
        row,
        {Q(neuronId) + (node.known ? QString() : tr("  (new)")), QString::number(node.channel),
         Q(SubnetNodeText(node.found.address)), Q(programId), tr("now"), Q(PluginText(programId))});
    heard->setData(0, kNeuronRole, Q(neuronId));
    Emphasize(heard);
    row->setExpanded(true);
    tree_->resizeColumnToContents(kNode);
}

void StartWindow::DiscoveryEnded(const std::string& site,
                                 const std::vector<std::string>& problems) {
    QString text = tr("Discovery on %1: %2 heard, saved in the site file")
                       .arg(Q(site), Count(discoveries_[site], "node"));
    for (const std::string& line : problems) {
        text += QStringLiteral("; ") + Q(line);
    }
    discoveries_.erase(site);
    Fill();
    status_->setText(text);
    if (QTreeWidgetItem* row = SiteRow(site)) {
        tree_->setCurrentItem(row);
    }
    if (discoveryEnded) {
        discoveryEnded(site);
    }
}

bool StartWindow::SavePicture(const std::string& dir) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    show();
    QApplication::processEvents();
    const std::string path = (std::filesystem::path(dir) / "start.png").string();
    if (!grab().save(Q(path))) {
        std::cerr << "vireo: cannot write " << path << '\n';
        return false;
    }
    std::cout << "vireo: picture saved in " << path << '\n';
    return true;
}

void StartWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (closed) {
        closed();
    }
}

}  // namespace host
