#pragma once
// The configuration sheet: owns one object of every page class, holds the host's two
// interfaces for all pages, and shows page set 1 or page set 2 behind the Node Information
// and Import / Export pages.

#include <map>
#include <string>

#include "calendar/Page32PropPage.h"
#include "calendar/Page4PropPage.h"
#include "calendar/Page5PropPage.h"
#include "calendar/Page6PropPage.h"
#include "calendar/Page7PropPage.h"
#include "calendar/Page8PropPage.h"
#include "node/NodeInterfaces.h"
#include "node/NodeSite.h"
#include "pages/Page10PropPage.h"
#include "pages/Page11PropPage.h"
#include "pages/Page12PropPage.h"
#include "pages/Page13PropPage.h"
#include "pages/Page14PropPage.h"
#include "pages/Page15PropPage.h"
#include "pages/Page16PropPage.h"
#include "pages/Page17PropPage.h"
#include "pages/Page18PropPage.h"
#include "pages/Page19PropPage.h"
#include "pages/Page20PropPage.h"
#include "pages/Page21PropPage.h"
#include "pages/Page22PropPage.h"
#include "pages/Page23PropPage.h"
#include "pages/Page24PropPage.h"
#include "pages/Page25PropPage.h"
#include "pages/Page26PropPage.h"
#include "pages/Page27PropPage.h"
#include "pages/Page28PropPage.h"
#include "pages/Page29PropPage.h"
#include "pages/Page2PropPage.h"
#include "pages/Page30PropPage.h"
#include "pages/Page31PropPage.h"
#include "pages/Page33PropPage.h"
#include "pages/Page34PropPage.h"
#include "pages/Page35PropPage.h"
#include "pages/Page36PropPage.h"
#include "pages/Page3PropPage.h"
#include "pages/Page9PropPage.h"
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

    CVireoPropPage page1{*this};
    CPage2PropPage page2;
    CPage3PropPage page3;
    CPage4PropPage page4;
    CPage5PropPage page5;
    CPage6PropPage page6;
    CPage7PropPage page7;
    CPage8PropPage page8;
    CPage9PropPage page9;
    CPage10PropPage page10;
    CPage11PropPage page11;
    CPage12PropPage page12;
    CPage13PropPage page13;
    CPage14PropPage page14;
    CPage15PropPage page15;
    CPage16PropPage page16;
    CPage17PropPage page17;
    CPage18PropPage page18;
    CPage19PropPage page19;
    CPage20PropPage page20;
    CPage21PropPage page21;
    CPage22PropPage22 page22;
    CPage23PropPage page23;
    CPage24PropPage page24;
    CPage25PropPage page25;
    CPage26PropPage page26;
    CPage27PropPage page27;
    CPage28PropPage page28;
    CPage29PropPage page29;
    CPage30PropPage page30;
    CPage31PropPage page31;
    CPage32PropPage page32;
    CPage33PropPage page33;
    CPage34PropPage page34;
    CPage35PropPage page35;
    CPage36PropPage page36;

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
