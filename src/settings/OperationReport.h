#pragma once
// What an export, a download or the factory defaults did, filled by the operation as it runs:
// per variable or part what was read, written or failed, the counts, how it ended, and the
// closing message, its caption and the result line every front end shows for it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class Desktop;
}

namespace settings {

enum class Operation { Export, Download, FactoryDefaults };

// How an operation ended.
enum class Outcome {
    NotRun,         // the file dialog was cancelled: no message was shown
    WrongPassword,  // the service password was refused
    Declined,       // the user answered No (overwrite, download)
    FileFailed,     // the file could not be written (export) or read (download)
    Partial,        // it ran to its end with errors, or with blocks it refused
    Completed,
};

// One variable (part 0) or part of nviPluginCnf the operation read or wrote.
struct ItemReport {
    enum class Action { Read, Written, Failed, Refused };
    std::string variable;  // the variable's name in the settings file
    int part = 0;
    Action action = Action::Failed;
};

struct OperationReport {
    explicit OperationReport(Operation what);

    Operation operation;
    Outcome outcome = Outcome::NotRun;
    std::vector<ItemReport> items;  // in the order they were done; part selections are not items

    int readErrors = 0;        // failed reads (export)
    int writeErrors = 0;       // failed writes, part selections included
    int writtenVariables = 0;  // variable and part writes that succeeded
    // Blocks a download did not write because their value line was too short or too long, or
    // because they were nviPluginCnf blocks beyond part 12, plus a file not read to its end.
    int refusedBlocks = 0;
    int missingValues = 0;  // labels without a value line (nothing to write, not an error)

    // The path chosen in the file dialog, for edit 428; nothing when it was not shown or was
    // cancelled.
    std::optional<std::string> path;
    // The node name an export read, for edit 231 (empty when the read failed); nothing when the
    // export stopped before reading the node.
    std::optional<std::string> nodeName;
    bool passwordAccepted = false;
    bool clearPassword = false;  // the page empties the password edit
    bool confirmed = false;      // the user answered Yes to "Download from file to node?"
    bool accepted = false;       // the final accepted flag of the file's Program ID lines
    bool written = false;        // the export's file now holds the export

    // Counts a write, and records it as written or failed.
    void CountWrite(std::string_view variable, int part, bool written);

    bool Completed() const { return outcome == Outcome::Completed; }
    // The closing message shown, and its caption; "" when none was shown.
    std::string Message() const;
    std::string_view Caption() const;
    // The result line of the command line: the closing message, or why there was none.
    std::string Line() const;
};

// Shows the report's closing message, when it has one.
void ShowClosingMessage(platform::Desktop& desktop, const OperationReport& report);

}  // namespace settings
