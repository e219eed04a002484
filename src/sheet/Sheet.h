#pragma once
// The configuration sheet: owns one object of every page class, holds the host's two
// interfaces for all pages, and shows page set 1 or page set 2 behind the Node Information
// and Import / Export pages.

#include <map>
#include <string>

#include "calendar/HotWaterCalendarPage.h"
#include "calendar/PresenceCalendar1Page.h"
#include "calendar/PresenceCalendar2Page.h"
#include "calendar/SetTimePage.h"
#include "calendar/WeekCalendar1Page.h"
#include "calendar/WeekCalendar2Page.h"
#include "node/NodeInterfaces.h"
#include "node/NodeSite.h"
#include "pages/AnalogValves1Page.h"
#include "pages/AnalogValves2Page.h"
#include "pages/Antifrost2Page.h"
#include "pages/AntifrostPage.h"
#include "pages/ConstantTemperaturesPage.h"
#include "pages/DewpointPage.h"
#include "pages/Exercise1Page.h"
#include "pages/Exercise2Page.h"
#include "pages/ExtendedOperation1Page.h"
#include "pages/ExtendedOperation2Page.h"
#include "pages/HeatingCurvePage.h"
#include "pages/HotWaterTankPage.h"
#include "pages/ImportExportPage.h"
#include "pages/NightLowering2Page.h"
#include "pages/NightLoweringPage.h"
#include "pages/OutdoorTemperaturesPage.h"
#include "pages/PidMv1Page.h"
#include "pages/PidMv2Page.h"
#include "pages/PressurePage.h"
#include "pages/PumpMp1Page.h"
#include "pages/PumpMp2Page.h"
#include "pages/StatusSwitchSw1Page.h"
#include "pages/StatusSwitchSw2Page.h"
#include "pages/Temperatures1Page.h"
#include "pages/Temperatures2Page.h"
#include "pages/UnshownImportExportPage.h"
#include "pages/UnusedPage1.h"
#include "pages/UnusedPage2.h"
#include "pages/UnusedPage3.h"
#include "platform/PropertySheet.h"
#include "sheet/VireoPropPage.h"

namespace vireo {

class CSheet : public platform::CPropertySheet, public NodeSite {
public:
    // clientSite: the site of the control that opens the sheet, which offers the node's
    // interfaces; null when the control has none.
    CSheet(const std::string& caption, QWidget* parentWindow, int selectPage,
           IOleClientSite* clientSite);
    ~CSheet() override;

    BOOL OnInitDialog() override;

    void AddPageSet1();
    void AddPageSet2();
    void RemovePageSet1();
    void RemovePageSet2();

    // The sheet's own part window: no pauses.
    int GetSelectedPart();
    bool SelectPart(int part);

    // The node of every page: the interfaces the sheet holds.
    NodeLink Link() const override { return NodeLink(m_pReader, m_pWriter, m_pLock); }
    // The status line shows the time of the last live refresh.
    void LiveValuesRefreshed() override;
    // The status line shows the pages' troubles in red before everything else.
    void ShowTrouble(NodeTrouble kind, const std::string& text) override;
    // The Node Information page tells the sheet the node's name for its title and status line.
    void SetNodeName(std::string name);

    NodeWriter* m_pWriter = nullptr;
    NodeReader* m_pReader = nullptr;
    NodeWriter* m_pWriterRef = nullptr;
    NodeReader* m_pReaderRef = nullptr;
    // Offered by a host that shares the node with other programs; nothing otherwise.
    NodeOperationLock* m_pLock = nullptr;
    IOleClientSite* m_pClientSite = nullptr;

    CVireoPropPage nodeInfo{*this};
    ImportExportPage importExport;
    UnshownImportExportPage unshownImportExport;
    SetTimePage setTime;
    WeekCalendar1Page weekCalendar1;
    WeekCalendar2Page weekCalendar2;
    PresenceCalendar1Page presenceCalendar1;
    PresenceCalendar2Page presenceCalendar2;
    StatusSwitchSw1Page statusSwitchSw1;
    StatusSwitchSw2Page statusSwitchSw2;
    AnalogValves1Page analogValves1;
    AnalogValves2Page analogValves2;
    PumpMp1Page pumpMp1;
    PumpMp2Page pumpMp2;
    ExtendedOperation1Page extendedOperation1;
    ExtendedOperation2Page extendedOperation2;
    AntifrostPage antifrost1;
    Antifrost2Page antifrost2;
    Temperatures1Page temperatures1;
    Temperatures2Page temperatures2;
    HeatingCurvePage heatingCurve;
    ConstantTemperaturesPage constantTemperatures;
    NightLoweringPage nightLowering1;
    NightLowering2Page nightLowering2;
    Exercise1Page exercise1;
    Exercise2Page exercise2;
    PidMv1Page pidMv1;
    PidMv2Page pidMv2;
    OutdoorTemperaturesPage outdoorTemperatures;
    PressurePage pressure;
    DewpointPage dewpoint;
    HotWaterCalendarPage hotWaterCalendar;
    HotWaterTankPage hotWaterTank;
    UnusedPage1 unused1;
    UnusedPage2 unused2;
    UnusedPage3 unused3;

private:
    std::vector<platform::CPropertyPage*> PageSet1();
    std::vector<platform::CPropertyPage*> PageSet2();
    void RemovePages(const std::vector<platform::CPropertyPage*>& pages);
    void ObtainInterfaces();
    void AttachPages();
    // "<node name> - VI1" or "- VI2" by the page set loaded; the name alone when none is.
    void UpdateTitle();
    void UpdateStatus();

    std::string nodeName_;
    std::string lastRefresh_;  // "Last refresh 09:05:07"; empty before the first one
    std::map<NodeTrouble, std::string> troubles_;
};

}  // namespace vireo
