#include "sheet/Sheet.h"

#include <initializer_list>

#include "node/NodeFields.h"

#include "framework/Desktop.h"

namespace vireo {

CSheet::CSheet(const std::string& caption, QWidget* parentWindow, int selectPage,
               IOleClientSite* clientSite)
    : CPropertySheet(caption, parentWindow, selectPage), m_pClientSite(clientSite) {
    ObtainInterfaces();
    AttachPages();
    AddPage(&nodeInfo);
    AddPage(&importExport);
    const OperationHold hold(Link());
    // A failed selection leaves NV 45 on another part: its word 29-30 is no variant word.
    const bool selected = GetSelectedPart() == nv::kVariantPart || SelectPart(nv::kVariantPart);
    // The startup read of part 1 asks for 50 bytes; the variant word is its last field.
    std::uint8_t part[50] = {};
    if (selected && m_pReader != nullptr && m_pReader->ReadNv(nv::kPluginCnf, part, 50) == S_OK) {
        if (node::Value(node::fields::kVariantWord, part) != 0) {
            AddPageSet1();
        }
    }
    SelectPart(0);
}

CSheet::~CSheet() {
    Close();
    // Both references held on each interface go: the one the query returned and our own.
    if (m_pWriterRef != nullptr) {
        m_pWriterRef->Release();
        m_pWriterRef->Release();
        m_pWriterRef = nullptr;
    }
    if (m_pReaderRef != nullptr) {
        m_pReaderRef->Release();
        m_pReaderRef->Release();
        m_pReaderRef = nullptr;
    }
    if (m_pLock != nullptr) {
        m_pLock->Release();
        m_pLock = nullptr;
    }
    m_pClientSite = nullptr;
    m_pWriter = nullptr;
    m_pReader = nullptr;
}

void CSheet::ObtainInterfaces() {
    if (m_pClientSite == nullptr) {
        return;
    }
    void* reader = nullptr;
    if (m_pClientSite->QueryInterface(IID_NodeReader, &reader) == S_OK && reader != nullptr) {
        m_pReaderRef = static_cast<NodeReader*>(reader);
        m_pReaderRef->AddRef();
        m_pReader = m_pReaderRef;
    }
    void* writer = nullptr;
    if (m_pClientSite->QueryInterface(IID_NodeWriter, &writer) == S_OK && writer != nullptr) {
        m_pWriterRef = static_cast<NodeWriter*>(writer);
        m_pWriterRef->AddRef();
        m_pWriter = m_pWriterRef;
    }
    void* lock = nullptr;
    if (m_pClientSite->QueryInterface(IID_NodeOperationLock, &lock) == S_OK && lock != nullptr) {
        m_pLock = static_cast<NodeOperationLock*>(lock);
    }
}

BOOL CSheet::OnInitDialog() {
    CPropertySheet::OnInitDialog();
    SetDlgItemText(platform::IDOK, "Exit");
    ShowDlgItem(platform::ID_APPLY_NOW, false);
    ShowDlgItem(platform::IDCANCEL, false);
    if (m_pWriter == nullptr && m_pReader == nullptr) {
        platform::Desktop::Current().MessageBox("Node not available!", "Plugin",
                                                platform::MessageButtons::Ok,
                                                platform::MessageIcon::Exclamation);
    }
    return TRUE;
}

std::vector<platform::CPropertyPage*> CSheet::PageSet1() {
    return {&setTime,    &weekCalendar1,       &presenceCalendar1, &statusSwitchSw1,
            &exercise1,  &analogValves1,       &pumpMp1,           &extendedOperation1,
            &antifrost1, &temperatures1,       &heatingCurve,      &nightLowering1,
            &pidMv1,     &outdoorTemperatures, &pressure};
}

std::vector<platform::CPropertyPage*> CSheet::PageSet2() {
    return {&setTime,         &weekCalendar2,       &presenceCalendar2, &hotWaterCalendar,
            &statusSwitchSw2, &exercise2,           &analogValves2,     &pumpMp2,
            &hotWaterTank,    &extendedOperation2,  &temperatures2,     &constantTemperatures,
            &pidMv2,          &outdoorTemperatures, &pressure};
}

void CSheet::AddPageSet1() {
    for (platform::CPropertyPage* page : PageSet1()) {
        AddPage(page);
    }
    UpdateTitle();
}

void CSheet::AddPageSet2() {
    for (platform::CPropertyPage* page : PageSet2()) {
        AddPage(page);
    }
    UpdateTitle();
}

void CSheet::RemovePages(const std::vector<platform::CPropertyPage*>& pages) {
    for (platform::CPropertyPage* page : pages) {
        if (GetPageIndex(page) >= 0) {
            RemovePage(page);
        }
    }
    UpdateTitle();
}

void CSheet::SetNodeName(std::string name) {
    nodeName_ = std::move(name);
    UpdateTitle();
    UpdateStatus();
}

void CSheet::UpdateTitle() {
    if (nodeName_.empty()) {
        return;
    }
    // Page 5 belongs to page set 1 only, page 6 to page set 2 only.
    const char* set = GetPageIndex(&weekCalendar1) >= 0   ? " - VI1"
                      : GetPageIndex(&weekCalendar2) >= 0 ? " - VI2"
                                                          : "";
    SetTitle(nodeName_ + set);
}

void CSheet::LiveValuesRefreshed() {
    lastRefresh_ = "Last refresh " + platform::Desktop::Current().Now().TimeText();
    UpdateStatus();
}

void CSheet::ShowTrouble(NodeTrouble kind, const std::string& text) {
    if (text.empty()) {
        troubles_.erase(kind);
    } else {
        troubles_[kind] = text;
    }
    UpdateStatus();
}

void CSheet::UpdateStatus() {
    std::vector<std::string> parts;
    for (const auto& [kind, text] : troubles_) {
        parts.push_back(text);
    }
    for (const std::string& part :
         {nodeName_, lastRefresh_, platform::Desktop::Current().NodeNote()}) {
        if (!part.empty()) {
            parts.push_back(part);
        }
    }
    std::string status;
    for (const std::string& part : parts) {
        status += (status.empty() ? "" : "    ") + part;
    }
    SetStatusText(status,
                  troubles_.empty() ? platform::TextColour::Normal : platform::TextColour::Alarm);
}

void CSheet::RemovePageSet1() {
    RemovePages(PageSet1());
}

void CSheet::RemovePageSet2() {
    RemovePages(PageSet2());
}

int CSheet::GetSelectedPart() {
    return PartWindow(Link(), platform::Desktop::Current(), 0).GetSelectedPart();
}

bool CSheet::SelectPart(int part) {
    return PartWindow(Link(), platform::Desktop::Current(), 0).SelectPart(part);
}

void CSheet::AttachPages() {
    for (CNodePage* page : std::initializer_list<CNodePage*>{&nodeInfo,
                                                             &importExport,
                                                             &setTime,
                                                             &weekCalendar1,
                                                             &weekCalendar2,
                                                             &presenceCalendar1,
                                                             &presenceCalendar2,
                                                             &statusSwitchSw1,
                                                             &statusSwitchSw2,
                                                             &analogValves1,
                                                             &analogValves2,
                                                             &pumpMp1,
                                                             &pumpMp2,
                                                             &extendedOperation1,
                                                             &extendedOperation2,
                                                             &antifrost1,
                                                             &antifrost2,
                                                             &temperatures1,
                                                             &temperatures2,
                                                             &heatingCurve,
                                                             &constantTemperatures,
                                                             &nightLowering1,
                                                             &nightLowering2,
                                                             &exercise1,
                                                             &exercise2,
                                                             &pidMv1,
                                                             &pidMv2,
                                                             &outdoorTemperatures,
                                                             &pressure,
                                                             &hotWaterCalendar,
                                                             &hotWaterTank}) {
        page->AttachNode(this);
    }
}

}  // namespace vireo
