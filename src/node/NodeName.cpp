#include "node/NodeName.h"

#include "framework/QuoteText.h"

namespace host {

std::string NameProblem(const std::string& name) {
    if (name.empty()) {
        return "a node needs a name";
    }
    if (name == "." || name == ".." ||
        name.find_first_of(std::string("/\0", 2)) != std::string::npos) {
        return "the name \"" + platform::PrintableText(name) +
               "\" cannot name a file (no \"/\", \".\" or \"..\")";
    }
    if (name.size() + 5 > 255) {
        return "the name \"" + platform::PrintableText(name) + "\" is too long to name a file";
    }
    return {};
}

}  // namespace host
