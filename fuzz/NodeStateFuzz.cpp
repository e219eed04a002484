// The simulated node's state file on any bytes: a state that loads saves, and the saved file
// loads into a fresh node that holds the same state and saves the very same file.

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "sim/NodeStateFile.h"
#include "sim/SimNode.h"

namespace {

bool SameState(const host::SimNode& a, const host::SimNode& b) {
    if (a.Name() != b.Name() || a.GetProgramId() != b.GetProgramId()) {
        return false;
    }
    for (const nv::Variable& variable : nv::Variables()) {
        if (variable.index != nv::kPluginCnf && a.Raw(variable.index) != b.Raw(variable.index)) {
            return false;
        }
    }
    for (int part = nv::kFirstPart; part <= nv::kPartCount; ++part) {
        if (a.Part(part) != b.Part(part)) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string input = fuzz::ScratchPath("state.json");
    static const std::string saved = fuzz::ScratchPath("saved.json");
    static const std::string again = fuzz::ScratchPath("saved-again.json");
    fuzz::WriteFile(input, std::string(reinterpret_cast<const char*>(data), size));

    host::SimNode node;
    if (!host::LoadNodeState(input, node).empty()) {
        return 0;
    }
    fuzz::Require(host::SaveNodeState(saved, node).empty(), "a loaded state saves");
    host::SimNode reloaded;
    fuzz::Require(host::LoadNodeState(saved, reloaded).empty(), "a saved state loads");
    fuzz::Require(SameState(node, reloaded), "a saved state loads as it was");
    fuzz::Require(host::SaveNodeState(again, reloaded).empty(), "a reloaded state saves");
    fuzz::Require(fuzz::ReadFile(saved) == fuzz::ReadFile(again),
                  "a reloaded state saves the same file");
    return 0;
}
