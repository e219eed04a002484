#pragma once
// The rules for a node's name where it names files.

#include <string>

namespace host {

// Why a node's name cannot name its files in a folder (its state file NAME.json, its settings
// file NAME.txt); empty when it can.
std::string NameProblem(const std::string& name);

}  // namespace host
