#pragma once
// The Program ID of the node kind this plug-in serves, as eight two-digit hexadecimal bytes
// separated by single blanks (23 characters). A constant of the module, never read from the node.

#include <string>

std::string GetProgramIdText();
