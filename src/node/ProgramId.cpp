#include "node/ProgramId.h"

std::string GetProgramIdText() {
    return "90 56 69 72 65 6F 4B 2A";
}
