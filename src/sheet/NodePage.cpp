#include "sheet/NodePage.h"

#include <cstdio>

#include "codecs/NumberReader.h"
#include "platform/Desktop.h"
#include "sheet/Sheet.h"

namespace behaviour {

PageBehaviour None() {
    return {};
}

PageBehaviour Refresh() {
    PageBehaviour b;
    b.refreshOnShow = true;
    b.timer = true;
    b.refreshOnTimer = true;
    return b;
}

PageBehaviour RefreshRead() {
    PageBehaviour b = Refresh();
    b.readOnShow = true;
    return b;
}

PageBehaviour RefreshReadExtras() {
    PageBehaviour b = RefreshRead();
    b.extrasOnShow = true;
    return b;
}

PageBehaviour ReadOnly() {
    PageBehaviour b;
    b.readOnShow = true;
    return b;
}

PageBehaviour LeavingFocus(PageBehaviour b) {
    b.initDialogResult = FALSE;
    return b;
}

}  // namespace behaviour

namespace {

constexpr int kTimerId = 1;
constexpr int kTimerPeriodMs = 2000;

}  // namespace

CNodePage::CNodePage(int templateId, int captionId, PageBehaviour behaviour)
    : CPropertyPage(templateId, captionId), behaviour_(behaviour) {
    OnClicked(IDC_READ, [this] { RunRead(); });
    OnClicked(IDC_WRITE, [this] { RunWrite(); });
}

BOOL CNodePage::OnInitDialog() {
    return behaviour_.initDialogResult;
}

void CNodePage::OnShowWindow(BOOL show) {
    if (show) {
        if (behaviour_.refreshOnShow) {
            Refresh();
        }
        if (behaviour_.readOnShow) {
            RunRead();
        }
        if (behaviour_.extrasOnShow) {
            ShowExtras();
        }
        if (behaviour_.timer) {
            SetTimer(kTimerId, kTimerPeriodMs);
        }
    } else if (behaviour_.timer) {
        KillTimer(kTimerId);
    }
    if (behaviour_.extrasAfterTimer) {
        AfterTimerExtras();
    }
}

void CNodePage::OnTimer(int) {
    if (behaviour_.refreshOnTimer) {
        Refresh();
    }
}

void CNodePage::RunRead() {
    SetDlgItemText(IDC_READ, "Wait");
    ReadConfig();
    SetDlgItemText(IDC_READ, "Read");
}

void CNodePage::RunWrite() {
    SetDlgItemText(IDC_WRITE, "Wait");
    const int passwordId = PasswordEditId();
    if (passwordId != 0 && !PasswordMatches(passwordId)) {
        ShowMessage(WrongPasswordMessage());
    } else {
        WriteConfig();
        if (ReadsAfterWrite()) {
            RunRead();
        }
    }
    if (passwordId != 0 && ClearsPasswordAfterWrite()) {
        SetDlgItemText(passwordId, "");
    }
    SetDlgItemText(IDC_WRITE, "Write");
}

void CNodePage::UseDefaultAndResetButtons() {
    OnClicked(IDC_DEFAULT, [this] {
        for (const auto& [id, text] : DefaultTexts()) {
            SetDlgItemText(id, text);
        }
    });
    OnClicked(IDC_RESET, [this] { OnReset(); });
}

void CNodePage::OnReset() {
    for (const auto& [id, text] : ResetTexts()) {
        SetDlgItemText(id, text);
    }
}

CSheet* CNodePage::NodeSheet() const {
    return static_cast<CSheet*>(Sheet());
}

NodeLink CNodePage::Link() const {
    const CSheet* sheet = NodeSheet();
    return sheet == nullptr ? NodeLink() : NodeLink(sheet->m_pReader, sheet->m_pWriter);
}

bool CNodePage::ReadNv(int index, NvBuffer& buffer, int length) const {
    return Link().Read(index, buffer.data(), length);
}

bool CNodePage::WriteNv(int index, const NvBuffer& buffer, int length) const {
    return Link().Write(index, buffer.data(), length);
}

int CNodePage::GetSelectedPart() const {
    return PartWindow(Link(), platform::Desktop::Current(), behaviour_.partPauseMs)
        .GetSelectedPart();
}

void CNodePage::SelectPart(int part) const {
    PartWindow(Link(), platform::Desktop::Current(), behaviour_.partPauseMs).SelectPart(part);
}

bool CNodePage::ReadFirstPart(int part, NvBuffer& buffer, int length) const {
    if (GetSelectedPart() != part) {
        SelectPart(part);
    }
    return ReadNv(nv::kPluginCnf, buffer, length);
}

bool CNodePage::ReadNextPart(int part, NvBuffer& buffer, int length) const {
    SelectPart(part);
    return ReadNv(nv::kPluginCnf, buffer, length);
}

bool CNodePage::WritePart(const NvBuffer& buffer) const {
    return WriteNv(nv::kPluginCnf, buffer, nv::kPartSize);
}

double CNodePage::TypedNumber(int editId) const {
    return codecs::ReadNumber(GetDlgItemText(editId));
}

void CNodePage::ShowNumber(int editId, double value, const char* format) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    SetDlgItemText(editId, text);
}

void CNodePage::MakeRadioGroup(std::initializer_list<int> ids) {
    const std::vector<int> group(ids);
    for (int id : group) {
        OnClicked(id, [this, id, group] {
            for (int other : group) {
                CheckDlgButton(other, other == id ? 1 : 0);
            }
        });
    }
}

void CNodePage::ShowChoice(std::initializer_list<int> ids, int index) {
    int i = 0;
    for (int id : ids) {
        CheckDlgButton(id, i++ == index ? 1 : 0);
    }
}

int CNodePage::FirstMarked(std::initializer_list<int> ids) const {
    int i = 0;
    for (int id : ids) {
        if (IsDlgButtonChecked(id) == 1) {
            return i;
        }
        ++i;
    }
    return -1;
}

void CNodePage::ShowMode(std::initializer_list<int> offManualAuto, int word) {
    ShowChoice(offManualAuto, word == nv::kModeOff ? 0 : word == nv::kModeManual ? 1 : 2);
}

int CNodePage::ModeWord(std::initializer_list<int> offManualAuto, int noneValue) const {
    switch (FirstMarked(offManualAuto)) {
        case 0:
            return nv::kModeOff;
        case 1:
            return nv::kModeManual;
        case 2:
            return nv::kModeAutomatic;
        default:
            return noneValue;
    }
}

bool CNodePage::PasswordMatches(int editId) const {
    return IsServicePassword(GetDlgItemText(editId));
}

void CNodePage::ShowMessage(const std::string& text, const std::string& caption) const {
    platform::Desktop::Current().Message(text, caption);
}
