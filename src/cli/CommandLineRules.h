#pragma once
// Relations between a command's options that CLI11's excludes and needs would check, each with
// the line the manual and the session scripts know for it where CLI11 would print its own.
// Checked once the command line is parsed; the first relation broken, in the order they were
// made, is the one reported.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class Option;
}

namespace host {

class OptionRules {
public:
    // Whether something was given on the command line: an option, or a value it set.
    using Presence = std::function<bool()>;
    static Presence Given(const CLI::Option* option);

    // text when what is given and needed is not.
    OptionRules& Needs(Presence what, Presence needed, std::string text);
    // text when what and other are both given.
    OptionRules& Excludes(Presence what, Presence other, std::string text);
    // text when needed is not given.
    OptionRules& Required(Presence needed, std::string text);

    // The text of the first relation broken; nothing when every one holds.
    std::optional<std::string> Broken() const;

private:
    struct Rule {
        Presence what;  // empty: always
        Presence other;
        bool otherWanted;  // needs: the rule holds when other is given; excludes: when it is not
        std::string text;
    };
    std::vector<Rule> rules_;
};

}  // namespace host
