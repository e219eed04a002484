// The command table of session scripts against the command lists of docs/session-scripts.md.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "script/ScriptRunner.h"

namespace {

std::string ReadDoc() {
    std::ifstream file(VIREO_SOURCE_DIR "/docs/session-scripts.md");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Every command the "## Commands" section documents: each `...` in the first cell of a table
// row, with "\|" read as "|".
std::set<std::string> DocumentedCommands(const std::string& doc) {
    std::set<std::string> commands;
    std::istringstream lines(doc);
    bool inSection = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("## ")) {
            inSection = line == "## Commands";
            continue;
        }
        if (!inSection || !line.starts_with("| `")) {
            continue;
        }
        std::size_t cellEnd = 2;
        while ((cellEnd = line.find(" |", cellEnd)) != std::string::npos &&
               line[cellEnd - 1] == '\\') {
            ++cellEnd;
        }
        std::string cell = line.substr(2, cellEnd - 2);
        for (std::size_t at; (at = cell.find("\\|")) != std::string::npos;) {
            cell.erase(at, 1);
        }
        for (std::size_t open = cell.find('`'); open != std::string::npos;) {
            const std::size_t close = cell.find('`', open + 1);
            commands.insert(cell.substr(open + 1, close - open - 1));
            open = cell.find('`', close + 1);
        }
    }
    return commands;
}

// What differs between the table and the document, one line each.
std::vector<std::string> Drift(const std::string& doc) {
    std::set<std::string> documented = DocumentedCommands(doc);
    std::vector<std::string> drift;
    for (const host::ScriptCommand& c : host::ScriptCommands()) {
        std::string form(c.name);
        if (!c.arguments.empty()) {
            form += ' ';
            form += c.arguments;
        }
        if (documented.erase(form) == 0) {
            drift.push_back("not documented: " + form);
        }
    }
    for (const std::string& form : documented) {
        drift.push_back("not a command: " + form);
    }
    return drift;
}

TEST(ScriptCommandsTest, TableHasOneRowForEachCommandWithHelp) {
    std::set<std::string> names;
    for (const host::ScriptCommand& c : host::ScriptCommands()) {
        EXPECT_TRUE(names.insert(std::string(c.name)).second) << c.name;
        EXPECT_FALSE(c.help.empty()) << c.name;
    }
    EXPECT_TRUE(names.contains("open") && names.contains("expect message"));
}

TEST(ScriptCommandsTest, DocumentListsExactlyTheTablesCommands) {
    const std::string doc = ReadDoc();
    ASSERT_FALSE(doc.empty()) << "docs/session-scripts.md not found";
    EXPECT_EQ(Drift(doc), std::vector<std::string>{});

    // The check sees a command the document lost, one it spells with other arguments, and one
    // it lists that the table lacks.
    std::string lost = doc;
    const std::string row = "| `node heal` | every failure cleared |\n";
    ASSERT_NE(lost.find(row), std::string::npos);
    lost.erase(lost.find(row), row.size());
    EXPECT_EQ(Drift(lost), std::vector<std::string>{"not documented: node heal"});
    std::string changed = doc;
    changed.replace(changed.find("`expect nv N [HEX]`"), 19, "`expect nv N HEX`");
    EXPECT_EQ(Drift(changed), (std::vector<std::string>{"not documented: expect nv N [HEX]",
                                                        "not a command: expect nv N HEX"}));
    EXPECT_EQ(Drift(doc + "\n## Commands\n\n| `node reset` | all of it |\n"),
              std::vector<std::string>{"not a command: node reset"});
}

}  // namespace
