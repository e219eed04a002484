#include "pages/ImportExportPage.h"

#include <algorithm>

#include "framework/Desktop.h"
#include "platform/Dialog.h"
#include "res/ImportExportDialog.h"
#include "res/NodeComparisonDialog.h"
#include "settings/DownloadOperation.h"
#include "settings/ExportOperation.h"
#include "settings/FactoryDefaultsOperation.h"
#include "settings/SettingsSupport.h"
#include "settings/SettingsTexts.h"
#include "settings/SettingsView.h"

namespace vireo {

namespace import_export = res::import_export;

namespace {

// The page asks the host for the node name with a 20-byte buffer.
constexpr int kPageNameBuffer = 20;

// The operation and the node a progress window names while the operation runs.
class ProgressTitle {
public:
    ProgressTitle(const std::string& operation, const std::string& node) {
        platform::Desktop::Current().SetProgressTitle(operation +
                                                      (node.empty() ? "" : " - " + node));
    }
    ~ProgressTitle() { platform::Desktop::Current().SetProgressTitle(""); }
    ProgressTitle(const ProgressTitle&) = delete;
    ProgressTitle& operator=(const ProgressTitle&) = delete;
};

PageBehaviour ImportExportBehaviour() {
    PageBehaviour b;
    b.extrasOnShow = true;  // the show routine: node name and file name
    b.initDialogResult = FALSE;
    return b;
}

// The node's values beside the file's, every field, changed rows marked and shown first.
class ComparisonDialog : public platform::CDialog {
public:
    explicit ComparisonDialog(const settings::Comparison& comparison)
        : CDialog(res::node_comparison::kDialog), comparison_(comparison) {}

    BOOL OnInitDialog() override {
        using namespace res::node_comparison;
        SetDlgItemText(kSummary, settings::ComparisonSummary(comparison_));
        SetTableHeaders(kTable, {"", "variable", "field", std::string(settings::kCompareNode),
                                 std::string(settings::kCompareFile)});
        std::vector<std::vector<std::string>> rows;
        rows.reserve(comparison_.rows.size());
        for (const settings::ComparedRow& row : comparison_.rows) {
            rows.push_back({std::string(settings::DifferenceMark(row.difference)), row.variable,
                            row.name, row.valueA, row.valueB});
        }
        // The changes first, then the rest, each in file order.
        std::stable_partition(rows.begin(), rows.end(),
                              [](const auto& row) { return !row[0].empty(); });
        SetTableRows(kTable, rows);
        return TRUE;
    }

private:
    const settings::Comparison& comparison_;
};

}  // namespace

ImportExportPage::ImportExportPage() : CNodePage(201, 201, ImportExportBehaviour()) {
    OnClicked(import_export::kDefault, [this] { FillNameAndFile(); });
    OnClicked(import_export::kSave, [this] { OnSaveToFile(); });
    OnClicked(import_export::kDownload, [this] { OnReadFromFile(); });
    OnClicked(import_export::kCompare, [this] { OnCompareWithNode(); });
    OnClicked(import_export::kFactory, [this] { OnDefaultSettings(); });
}

void ImportExportPage::ShowExtras() {
    FillNameAndFile();
}

void ImportExportPage::FillNameAndFile() {
    const auto name = settings::ReadNodeName(Link(), kPageNameBuffer);
    if (!name) {
        // No export while the node's name cannot be read.
        EnableDlgItem(import_export::kSave, false);
        return;
    }
    SetDlgItemText(import_export::kNodeName, *name);
    SetDlgItemText(import_export::kFileName, settings::DefaultFileName(*name));
    EnableDlgItem(import_export::kSave, true);
}

void ImportExportPage::OnSaveToFile() {
    SetDlgItemText(import_export::kSave, settings::kPleaseWait);
    const ProgressTitle title("Export", GetDlgItemText(import_export::kNodeName));
    const settings::OperationReport result =
        settings::ExportOperation(Link(), platform::Desktop::Current())
            .Run(GetDlgItemText(import_export::kFileName));
    if (result.path) {
        SetDlgItemText(import_export::kFileName, *result.path);
    }
    if (result.nodeName) {
        SetDlgItemText(import_export::kNodeName, *result.nodeName);
    }
    SetDlgItemText(import_export::kSave, settings::kSaveToFileButton);
}

void ImportExportPage::OnReadFromFile() {
    SetDlgItemText(import_export::kDownload, settings::kPleaseWait);
    const ProgressTitle title("Download", GetDlgItemText(import_export::kNodeName));
    const settings::OperationReport result =
        settings::DownloadOperation(Link(), platform::Desktop::Current())
            .Run(GetDlgItemText(import_export::kPassword),
                 GetDlgItemText(import_export::kFileName));
    if (result.clearPassword) {
        SetDlgItemText(import_export::kPassword, "");
    }
    SetDlgItemText(import_export::kDownload, settings::kReadFromFileButton);
}

void ImportExportPage::OnCompareWithNode() {
    SetDlgItemText(import_export::kCompare, settings::kPleaseWait);
    const settings::NodeComparison result = settings::CompareWithNode(
        Link(), platform::Desktop::Current(), GetDlgItemText(import_export::kFileName));
    SetDlgItemText(import_export::kCompare, settings::kCompareButton);
    if (result.compared) {
        ComparisonDialog(result.comparison).DoModal();
    }
}

void ImportExportPage::OnDefaultSettings() {
    // The button says "Please wait..." only once the password has been accepted.
    const bool accepted = IsServicePassword(GetDlgItemText(import_export::kPassword));
    if (accepted) {
        SetDlgItemText(import_export::kFactory, settings::kPleaseWait);
    }
    const ProgressTitle title("Factory defaults", GetDlgItemText(import_export::kNodeName));
    settings::FactoryDefaultsOperation defaults(Link(), platform::Desktop::Current());
    defaults.beforeClosingMessage = [this] {
        SetDlgItemText(import_export::kFactory, settings::kDefaultSettingsButton);
    };
    const settings::OperationReport result = defaults.Run(GetDlgItemText(import_export::kPassword));
    if (result.clearPassword) {
        SetDlgItemText(import_export::kPassword, "");
    }
}

}  // namespace vireo
