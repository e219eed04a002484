#include "settings/OperationReport.h"

#include "framework/Desktop.h"
#include "settings/SettingsSupport.h"
#include "settings/SettingsTexts.h"

namespace settings {
namespace {

// The closing message of each way an operation ends; one with a suffix says how many reads or
// writes failed between text and suffix. An operation that ends otherwise shows none.
struct ClosingText {
    Operation operation;
    Outcome outcome;
    std::string_view text;
    std::string_view suffix;
};
constexpr ClosingText kClosingTexts[] = {
    {Operation::Export, Outcome::Declined, kFileNotWritten, ""},
    {Operation::Export, Outcome::FileFailed, kErrorOpeningFile, ""},
    {Operation::Export, Outcome::Partial, kFileWrittenWithErrors, kReadErrorsSuffix},
    {Operation::Export, Outcome::Completed, kFileWritten, ""},
    {Operation::Download, Outcome::WrongPassword, kDownloadWrongPassword, ""},
    {Operation::Download, Outcome::Declined, kDownloadAborted, ""},
    {Operation::Download, Outcome::FileFailed, kFileNotFound, ""},
    {Operation::Download, Outcome::Partial, kDownloadWriteErrors, kWriteErrorsSuffix},
    {Operation::Download, Outcome::Completed, kDownloadCompleted, ""},
    {Operation::FactoryDefaults, Outcome::WrongPassword, kDefaultsWrongPassword, ""},
    {Operation::FactoryDefaults, Outcome::Partial, kDefaultsWriteErrors, kWriteErrorsSuffix},
    {Operation::FactoryDefaults, Outcome::Completed, kRestartPlugin, ""},
};

// The result line of an operation that showed no closing message, by operation.
constexpr std::string_view kNotCompleted[] = {"Export not completed", kDownloadNotCompleted,
                                              "Default settings not completed"};

}  // namespace

OperationReport::OperationReport(Operation what)
    : operation(what), clearPassword(what == Operation::FactoryDefaults) {}

void OperationReport::CountWrite(std::string_view variable, int part, bool written) {
    ++(written ? writtenVariables : writeErrors);
    items.push_back({std::string(variable), part,
                     written ? ItemReport::Action::Written : ItemReport::Action::Failed});
}

std::string OperationReport::Message() const {
    for (const ClosingText& closing : kClosingTexts) {
        if (closing.operation != operation || closing.outcome != outcome) {
            continue;
        }
        const int failed = readErrors + writeErrors;
        if (closing.suffix.empty()) {
            return std::string(closing.text);
        }
        // A download that wrote everything but refused blocks names no count.
        if (failed == 0 && operation == Operation::Download) {
            return std::string(kDownloadNotCompleted);
        }
        return std::string(closing.text) + FormatCount(failed) + std::string(closing.suffix);
    }
    return "";
}

std::string_view OperationReport::Caption() const {
    // Every message of the download but "File not found!" is a download status.
    if (operation == Operation::Download && outcome != Outcome::FileFailed) {
        return kDownloadStatusCaption;
    }
    return "";
}

std::string OperationReport::Line() const {
    std::string message = Message();
    return message.empty() ? std::string(kNotCompleted[static_cast<int>(operation)]) : message;
}

void ShowClosingMessage(platform::Desktop& desktop, const OperationReport& report) {
    const std::string message = report.Message();
    if (!message.empty()) {
        desktop.MessageBox(message, std::string(report.Caption()), platform::MessageButtons::Ok,
                           platform::MessageIcon::None);
    }
}

}  // namespace settings
