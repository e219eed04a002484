// The texts an operation's report renders for each way it can end: the closing message with its
// caption, and the result line of the command line. The page, the session scripts and the
// command line showed exactly these before the report rendered them.

#include <gtest/gtest.h>

#include "settings/OperationReport.h"

namespace settings_test {
namespace {

using settings::Operation;
using settings::OperationReport;
using settings::Outcome;

struct ReportCase {
    const char* name;
    Operation operation;
    Outcome outcome;
    int readErrors;
    int writeErrors;
    const char* message;
    const char* caption;
    const char* line;
};

class OperationReportTexts : public testing::TestWithParam<ReportCase> {};

TEST_P(OperationReportTexts, RenderWhatEachFrontEndShows) {
    const ReportCase& c = GetParam();
    OperationReport report(c.operation);
    report.outcome = c.outcome;
    report.readErrors = c.readErrors;
    report.writeErrors = c.writeErrors;
    EXPECT_EQ(report.Message(), c.message);
    EXPECT_EQ(report.Caption(), c.caption);
    EXPECT_EQ(report.Line(), c.line);
    EXPECT_EQ(report.Completed(), c.outcome == Outcome::Completed);
}

constexpr const char* kStatus = "Download status";

INSTANTIATE_TEST_SUITE_P(
    Outcomes, OperationReportTexts,
    testing::Values(ReportCase{"ExportWritten", Operation::Export, Outcome::Completed, 0, 0,
                               "File written", "", "File written"},
                    ReportCase{"ExportPartial", Operation::Export, Outcome::Partial, 3, 0,
                               "File Written. 3 NV read errors", "",
                               "File Written. 3 NV read errors"},
                    ReportCase{"ExportOverwriteDeclined", Operation::Export, Outcome::Declined, 0,
                               0, "File not written", "", "File not written"},
                    ReportCase{"ExportFileFailed", Operation::Export, Outcome::FileFailed, 0, 0,
                               "Error opening file", "", "Error opening file"},
                    ReportCase{"ExportDialogCancelled", Operation::Export, Outcome::NotRun, 0, 0,
                               "", "", "Export not completed"},
                    ReportCase{"DownloadCompleted", Operation::Download, Outcome::Completed, 0, 0,
                               "Download completed", kStatus, "Download completed"},
                    ReportCase{"DownloadWriteErrors", Operation::Download, Outcome::Partial, 0, 12,
                               "Download not completed. 12 NV write errors", kStatus,
                               "Download not completed. 12 NV write errors"},
                    ReportCase{"DownloadRefusedBlocks", Operation::Download, Outcome::Partial, 0, 0,
                               "Download not completed", kStatus, "Download not completed"},
                    ReportCase{"DownloadWrongPassword", Operation::Download, Outcome::WrongPassword,
                               0, 0, "Wrong password!", kStatus, "Wrong password!"},
                    ReportCase{"DownloadAborted", Operation::Download, Outcome::Declined, 0, 0,
                               "Download aborted", kStatus, "Download aborted"},
                    ReportCase{"DownloadFileNotFound", Operation::Download, Outcome::FileFailed, 0,
                               0, "File not found!", "", "File not found!"},
                    ReportCase{"DownloadDialogCancelled", Operation::Download, Outcome::NotRun, 0,
                               0, "", kStatus, "Download not completed"},
                    ReportCase{"DefaultsCompleted", Operation::FactoryDefaults, Outcome::Completed,
                               0, 0, "Please restart the plugin", "", "Please restart the plugin"},
                    ReportCase{"DefaultsWriteErrors", Operation::FactoryDefaults, Outcome::Partial,
                               0, 1, "Default settings not completed. 1 NV write errors", "",
                               "Default settings not completed. 1 NV write errors"},
                    ReportCase{"DefaultsWrongPassword", Operation::FactoryDefaults,
                               Outcome::WrongPassword, 0, 0, "Wrong password", "",
                               "Wrong password"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace settings_test
