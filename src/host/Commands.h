#pragma once
// The settings-file operations from the command line: the very export, download and factory
// defaults that the Import / Export page runs, on the simulated node's state file.

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

namespace host {

struct CommandOptions {
    std::string nodeFile;  // the node's state file; empty: the default one
    std::string file;      // the settings file
    std::string password;  // the service password
    bool yes = false;      // download even when the file's Program ID differs
    // Replaces the real pauses (tests and benchmarks record them instead).
    std::function<void(int)> sleep;
};

class SimNode;

// Loads the node of a state file, or of the default one (made with the factory configuration
// when it does not exist yet). The state file's path, or nothing once err says what is wrong.
std::optional<std::string> LoadCommandNode(const std::string& nodeFile, SimNode& node,
                                           std::ostream& err);

// Each prints progress and messages to err and one result line to out, and returns 0 only
// when the operation completed without errors.
int RunExportCommand(const CommandOptions& options, std::ostream& out, std::ostream& err);
int RunDownloadCommand(const CommandOptions& options, std::ostream& out, std::ostream& err);
int RunDefaultsCommand(const CommandOptions& options, std::ostream& out, std::ostream& err);

// Makes a new simulated node: a state file with the factory configuration and the given name.
// An existing file is never overwritten.
int RunNewNodeCommand(const std::string& path, const std::string& name, std::ostream& out,
                      std::ostream& err);

}  // namespace host
