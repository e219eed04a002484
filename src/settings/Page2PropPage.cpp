#include "settings/Page2PropPage.h"

#include "platform/Desktop.h"
#include "settings/DownloadOperation.h"
#include "settings/ExportOperation.h"
#include "settings/FactoryDefaultsOperation.h"
#include "settings/SettingsSupport.h"
#include "settings/SettingsTexts.h"

namespace {

// The page asks the host for the node name with a 20-byte buffer.
constexpr int kPageNameBuffer = 20;

PageBehaviour ImportExportBehaviour() {
    PageBehaviour b;
    b.extrasOnShow = true;  // the show routine: node name and file name
    b.initDialogResult = FALSE;
    return b;
}

}  // namespace

CPage2PropPage::CPage2PropPage() : CNodePage(201, 201, ImportExportBehaviour()) {
    OnClicked(IDC_IE_DEFAULT, [this] { FillNameAndFile(); });
    OnClicked(IDC_IE_SAVE, [this] { OnSaveToFile(); });
    OnClicked(IDC_IE_DOWNLOAD, [this] { OnReadFromFile(); });
    OnClicked(IDC_IE_FACTORY, [this] { OnDefaultSettings(); });
}

void CPage2PropPage::ShowExtras() {
    FillNameAndFile();
}

void CPage2PropPage::FillNameAndFile() {
    const auto name = settings::ReadNodeName(Link(), kPageNameBuffer);
    if (!name) {
        // No export while the node's name cannot be read.
        EnableDlgItem(IDC_IE_SAVE, false);
        return;
    }
    SetDlgItemText(IDC_IE_NODENAME, *name);
    SetDlgItemText(IDC_IE_FILENAME, settings::DefaultFileName(*name));
    EnableDlgItem(IDC_IE_SAVE, true);
}

void CPage2PropPage::OnSaveToFile() {
    SetDlgItemText(IDC_IE_SAVE, settings::kPleaseWait);
    const settings::ExportResult result =
        settings::ExportOperation(Link(), platform::Desktop::Current())
            .Run(GetDlgItemText(IDC_IE_FILENAME));
    if (result.path) {
        SetDlgItemText(IDC_IE_FILENAME, *result.path);
    }
    if (result.nodeName) {
        SetDlgItemText(IDC_IE_NODENAME, *result.nodeName);
    }
    SetDlgItemText(IDC_IE_SAVE, settings::kSaveToFileButton);
}

void CPage2PropPage::OnReadFromFile() {
    SetDlgItemText(IDC_IE_DOWNLOAD, settings::kPleaseWait);
    const settings::DownloadResult result =
        settings::DownloadOperation(Link(), platform::Desktop::Current())
            .Run(GetDlgItemText(IDC_IE_PASSWORD), GetDlgItemText(IDC_IE_FILENAME));
    if (result.clearPassword) {
        SetDlgItemText(IDC_IE_PASSWORD, "");
    }
    SetDlgItemText(IDC_IE_DOWNLOAD, settings::kReadFromFileButton);
}

void CPage2PropPage::OnDefaultSettings() {
    // The button says "Please wait..." only once the password has been accepted.
    const bool accepted = IsServicePassword(GetDlgItemText(IDC_IE_PASSWORD));
    if (accepted) {
        SetDlgItemText(IDC_IE_FACTORY, settings::kPleaseWait);
    }
    settings::FactoryDefaultsOperation defaults(Link(), platform::Desktop::Current());
    defaults.beforeClosingMessage = [this] {
        SetDlgItemText(IDC_IE_FACTORY, settings::kDefaultSettingsButton);
    };
    const settings::FactoryDefaultsResult result = defaults.Run(GetDlgItemText(IDC_IE_PASSWORD));
    if (result.clearPassword) {
        SetDlgItemText(IDC_IE_PASSWORD, "");
    }
}
