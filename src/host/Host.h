#pragma once
// The host tool's ways of opening the plug-in: the GUI on the simulated node, pictures of
// every tab rendered offscreen, and the command-line operations.

#include <functional>
#include <optional>
#include <string>

#include "link/LinkSettings.h"
#include "sim/SimNode.h"

namespace host {

class PluginControl;

struct HostOptions {
    std::string nodeFile;       // the simulated node's state file; empty: the default one
    std::string screenshotDir;  // save PNGs of the tabs here and exit
    double speed = 1;           // simulated seconds of the GUI's heating plant per real second
    std::optional<LinkSettings> link;  // a real node over a LON/IP channel instead
    std::string site;  // the start window: this site expanded and selected; empty: all
};

// Opens the sheet as the control's properties verb does, on the simulated node, or on the node
// of options.link once it told its Program ID.
int RunGui(int& argc, char** argv, const HostOptions& options);
// The start window: the recent nodes, the simulated node and every site with its nodes; a node
// opens with a double-click, and the window comes back when its sheet closes. With
// options.screenshotDir it saves start.png of the window, rendered offscreen, and exits.
int RunStartWindow(int& argc, char** argv, const HostOptions& options);
// Opens the sheet on a node of a site, by the site's and the node's names.
int RunGuiOnSiteNode(int& argc, char** argv, const std::string& site, const std::string& node);

// With the host's application and a desktop in place, and the desktop's node note set: the
// sheet on a node until it closes. "" or the line that says why it did not open or what failed.
std::string OpenSheetOnLink(const LinkSettings& settings);
// The same on the simulated node of a state file, made with the factory configuration when it
// does not exist; its heating plant runs speed times faster than real time.
std::string OpenSheetOnSimulatedNode(const std::string& path, double speed);

// Shows the plug-in's About box, as a network tool's "About" does.
int RunAbout(int& argc, char** argv, const HostOptions& options);
// Saves one PNG per tab of page set 1 and of page set 2 into options.screenshotDir, with the
// control's face (face.png) and its About box (about.png).
int RunScreenshots(int& argc, char** argv, const HostOptions& options);

// Finds the plug-in that serves the node by its Program ID, creates its control on a client
// site offering the node's reader and writer, and runs work with it; the host's windows take
// the control's face as their icon. Says why on standard error when there is no plug-in.
// 0 when work succeeded.
int WithPlugin(NodeAccess& node, const ProgramId& programId,
               const std::function<bool(PluginControl&)>& work);
int WithPlugin(SimNode& node, const std::function<bool(PluginControl&)>& work);

// Whether a display is available to Qt (or an offscreen platform was chosen).
bool DisplayAvailable();

}  // namespace host

namespace host {
// Runs work under the host's QApplication (numbers in the C locale, the offscreen platform's
// size-hint notices kept quiet): session scripts run their windows in it.
int WithApplication(int& argc, char** argv, const std::function<int()>& work);
}  // namespace host
