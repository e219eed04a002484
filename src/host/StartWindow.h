#pragma once
// The window a technician starts from: the nodes opened last, the simulated node, and every
// site with the nodes found behind its routers, each with its channel, address, Program ID,
// when it was last heard and whether a plug-in is registered for it. A double-click (or Enter)
// opens the sheet on a node; Discover listens on every channel of a site at once and saves what
// it hears into the site file.

#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "host/Plugin.h"
#include "lon/Clock.h"
#include "site/SiteDiscovery.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace host {

struct Site;
struct SiteNode;

class StartWindow : public QWidget {
public:
    enum Column { kNode, kChannel, kAddress, kProgramId, kLastSeen, kPlugin, kColumns };
    // Opens the sheet on the node a key of NodeChoice.h names, until it closes; "" or why not.
    using Opener = std::function<std::string(const std::string& key)>;

    // simulatedNode: the simulated node's state file; site: the site to show expanded and
    // selected, the others collapsed (empty: every site expanded).
    StartWindow(std::string simulatedNode, std::string site, Opener open);
    // Waits for the discoveries still listening.
    ~StartWindow() override;
    StartWindow(const StartWindow&) = delete;
    StartWindow& operator=(const StartWindow&) = delete;

    // Reads the site files and the recent lists again.
    void Fill();
    // Listens on every channel of the site at once, away from the window's thread; each node
    // shows as it is heard, those new to the site marked, and all are saved into the site file.
    void Discover(const std::string& site);
    // Makes this PC the configuration server of the site's routers' channel, in a thread of
    // its own; the status line then tells each router's state.
    void Configure(const std::string& site);
    // Opens the node of a row; the window hides while the sheet is open.
    void Open(QTreeWidgetItem* row);
    // Saves start.png of the window into dir; false after a line on standard error.
    bool SavePicture(const std::string& dir);

    QTreeWidget* Tree() const { return tree_; }
    QString Status() const;
    void SetListenTime(lon::Millis listen) { listen_ = listen; }
    void SetDiscoveryLimits(DiscoveryLimits limits) { limits_ = limits; }
    // Told on the window's thread when a site's discovery has ended.
    std::function<void(const std::string& site)> discoveryEnded;
    // Called once a configuration ended, with its status line.
    std::function<void(const std::string& site)> configurationEnded;
    // Told when the window is closed.
    std::function<void()> closed;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void AddRecent();
    void AddSimulatedNode(QTreeWidgetItem* parent, const std::string& path);
    void AddSite(const std::string& name);
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const Site& site, const SiteNode& node,
                             const QString& label);
    QTreeWidgetItem* SiteRow(const std::string& site) const;
    std::string PluginText(const std::string& programId) const;
    void Heard(const std::string& site, const DiscoveredNode& node);
    void DiscoveryEnded(const std::string& site, const std::vector<std::string>& problems);
    void SelectionChanged();
    void ConfigurationEnded(const std::string& site, const QString& text);

    std::string simulatedNode_;
    std::string site_;
    Opener open_;
    lon::Millis listen_{3000};
    DiscoveryLimits limits_;
    std::unique_ptr<RegisteredPlugins> plugins_;
    QTreeWidget* tree_;
    QPushButton* openButton_;
    QPushButton* discoverButton_;
    QPushButton* configureButton_;
    std::set<std::string> configuring_;  // the sites being configured
    QLabel* status_;
    std::map<std::string, int> discoveries_;  // the sites listening: how many nodes each heard
    std::set<std::string> newNodes_;  // Neuron IDs heard this session that their site lacked
    std::vector<std::thread> listeners_;
};

}  // namespace host
