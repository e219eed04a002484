#include "cli/CommandLineRules.h"

#include <CLI/CLI.hpp>

namespace host {

OptionRules::Presence OptionRules::Given(const CLI::Option* option) {
    return [option] { return option->count() > 0; };
}

OptionRules& OptionRules::Needs(Presence what, Presence needed, std::string text) {
    rules_.push_back({std::move(what), std::move(needed), true, std::move(text)});
    return *this;
}

OptionRules& OptionRules::Excludes(Presence what, Presence other, std::string text) {
    rules_.push_back({std::move(what), std::move(other), false, std::move(text)});
    return *this;
}

OptionRules& OptionRules::Required(Presence needed, std::string text) {
    return Needs({}, std::move(needed), std::move(text));
}

std::optional<std::string> OptionRules::Broken() const {
    for (const Rule& rule : rules_) {
        if ((!rule.what || rule.what()) && rule.other() != rule.otherWanted) {
            return rule.text;
        }
    }
    return std::nullopt;
}

}  // namespace host
