// The node a subcommand's option groups name: each form of the command line, parsed by the
// groups as the subcommands add them, maps to one node target and the way it opens.

#include <gtest/gtest.h>

#include "cli/OptionGroups.h"
#include "sim/NodeStateFile.h"

namespace {

struct Form {
    const char* name;
    std::vector<const char*> args;
    bool operation;      // an export, a download or the factory defaults; else a view
    std::string target;  // the target's text; "" the default state file's
    host::LockHold hold;
    host::MissingStateFile missing;
    std::string problem;  // what ReadLinkGroup says is wrong
};

class OptionGroupsTest : public testing::TestWithParam<Form> {};

TEST_P(OptionGroupsTest, NameTheNodeAndHowItOpens) {
    const Form& form = GetParam();
    CLI::App app;
    host::OperationOptions operation;
    host::OptionRules rules;
    auto* command = app.add_subcommand("export");
    host::AddOperationOptions(command, operation, operation.command.nodeFile, rules);
    std::vector<const char*> argv = {"vireo", "export"};
    argv.insert(argv.end(), form.args.begin(), form.args.end());
    app.parse(static_cast<int>(argv.size()), argv.data());
    ASSERT_EQ(rules.Broken(), std::nullopt);

    std::optional<host::LinkSettings> link;
    const auto problem = host::ReadLinkGroup(operation.link, operation.command.nodeFile, link);
    EXPECT_EQ(problem.value_or(""), form.problem);
    if (problem) {
        return;
    }
    const host::CommandNode node =
        host::CommandNodeOf(operation.command.nodeFile, link, form.operation);
    EXPECT_EQ(host::NodeTargetText(node.target),
              form.target.empty() ? "sim:" + host::DefaultNodeStatePath() : form.target);
    EXPECT_EQ(node.open.hold, form.hold);
    if (node.target.kind == host::NodeTarget::Kind::Simulated) {
        EXPECT_EQ(node.open.missing, form.missing);
    }
}

using host::LockHold;
using host::MissingStateFile;
INSTANTIATE_TEST_SUITE_P(
    Forms, OptionGroupsTest,
    testing::Values(
        Form{"DefaultNode", {}, true, "", LockHold::Made, MissingStateFile::Factory, ""},
        Form{"DefaultNodeLooked", {}, false, "", LockHold::None, MissingStateFile::Factory, ""},
        Form{"StateFile",
             {"--node", "/tmp/a.json"},
             true,
             "sim:/tmp/a.json",
             LockHold::Made,
             MissingStateFile::Refuse,
             ""},
        Form{"ByAddress",
             {"--link", "lonip://127.0.0.1:1700", "--address", "1/5"},
             true,
             "lonip://127.0.0.1:1700 1/5",
             LockHold::Kept,
             {},
             ""},
        Form{"ByNeuronIdLooked",
             {"--link", "lonip://127.0.0.1", "--neuron-id", "0a1b2c3d4e5f"},
             false,
             "lonip://127.0.0.1:1628 0A 1B 2C 3D 4E 5F",
             LockHold::None,
             {},
             ""},
        Form{"LinkWithoutNode",
             {"--link", "lonip://127.0.0.1"},
             true,
             "",
             {},
             {},
             "--link needs the node: --address SUBNET/NODE or --neuron-id HEX"}),
    [](const testing::TestParamInfo<Form>& info) { return info.param.name; });

}  // namespace
