#pragma once
// The fixed texts of the Import / Export page's three operations (export, download, factory
// defaults): button texts while working, file-dialog filter, messages and captions, and the
// service password. The page and the command line show exactly these.

#include <string_view>

namespace settings {

// File dialogs.
inline constexpr std::string_view kFileFilter =
    "Corvan NodeSettings (*.txt)|*.txt|All files (*.*)|*.*|";
inline constexpr std::string_view kDefaultExtension = "*.txt";

// Button texts.
inline constexpr std::string_view kPleaseWait = "Please wait...";
inline constexpr std::string_view kSaveToFileButton = "Save to file";
inline constexpr std::string_view kReadFromFileButton = "Read from file";
inline constexpr std::string_view kDefaultSettingsButton = "Default settings";
inline constexpr std::string_view kCompareButton = "Compare with node...";

// Export.
inline constexpr std::string_view kOverwriteQuestion = "Overwrite existing file?";
inline constexpr std::string_view kOverwriteCaption = "File exists!";
inline constexpr std::string_view kFileNotWritten = "File not written";
inline constexpr std::string_view kErrorOpeningFile = "Error opening file";
inline constexpr std::string_view kFileWritten = "File written";
inline constexpr std::string_view kFileWrittenWithErrors = "File Written. ";
inline constexpr std::string_view kReadErrorsSuffix = " NV read errors";

// Download.
inline constexpr std::string_view kDownloadWrongPassword = "Wrong password!";
inline constexpr std::string_view kDownloadStatusCaption = "Download status";
inline constexpr std::string_view kFileNotFound = "File not found!";
inline constexpr std::string_view kDownloadQuestion = "Download from file to node?";
inline constexpr std::string_view kDownloadCaption = "Download";
inline constexpr std::string_view kDownloadAborted = "Download aborted";
inline constexpr std::string_view kProgramIdQuestion =
    "ProgramID does not match!\nDo you want to download anyway?";
inline constexpr std::string_view kProgramIdCaption = "ProgramID does not match!";
inline constexpr std::string_view kDownloadCompleted = "Download completed";
inline constexpr std::string_view kDownloadNotCompleted = "Download not completed";
inline constexpr std::string_view kDownloadWriteErrors = "Download not completed. ";
inline constexpr std::string_view kWriteErrorsSuffix = " NV write errors";

// Compare with node.
inline constexpr std::string_view kCompareCaption = "Compare with node";
inline constexpr std::string_view kCompareUnreadable = "Cannot read the settings file\n";
inline constexpr std::string_view kCompareNode = "node";
inline constexpr std::string_view kCompareFile = "file";

// Factory defaults.
inline constexpr std::string_view kDefaultsWrongPassword = "Wrong password";
inline constexpr std::string_view kRestartPlugin = "Please restart the plugin";
inline constexpr std::string_view kDefaultsWriteErrors = "Default settings not completed. ";

}  // namespace settings
