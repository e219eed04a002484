// Node targets and the one way of opening a node: every front end names a node by the same text
// and reads it back the same way, and an opened node brings its operation lock.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "access/NodeTarget.h"
#include "access/OpenNode.h"
#include "sim/NodeStateFile.h"

namespace {

using Kind = host::NodeTarget::Kind;

struct TargetCase {
    const char* name;
    const char* text;
    Kind kind;
    const char* canonical;  // the text the target writes back; "" for a refused text
    const char* refusal;    // the refusal; "" for a text that names a node
};

class NodeTargetTest : public ::testing::TestWithParam<TargetCase> {};

TEST_P(NodeTargetTest, ReadsBackItsOwnTextOrSaysWhatIsWrong) {
    const TargetCase& c = GetParam();
    EXPECT_EQ(host::NodeTargetKind(c.text), c.kind);
    host::NodeTarget target;
    const std::optional<std::string> problem = host::ParseNodeTarget(c.text, target);
    if (*c.refusal != '\0') {
        EXPECT_EQ(problem.value_or(""), c.refusal);
        return;
    }
    ASSERT_EQ(problem, std::nullopt);
    EXPECT_EQ(target.kind, c.kind);
    const std::string text = host::NodeTargetText(target);
    EXPECT_EQ(text, c.canonical);
    host::NodeTarget again;
    ASSERT_EQ(host::ParseNodeTarget(text, again), std::nullopt);
    EXPECT_EQ(host::NodeTargetText(again), text);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, NodeTargetTest,
    ::testing::Values(
        TargetCase{"StateFile", "sim:/var/nodes/boiler 1.json", Kind::Simulated,
                   "sim:/var/nodes/boiler 1.json", ""},
        TargetCase{"SiteNode", "north/Boiler1", Kind::SiteNode, "north/Boiler1", ""},
        TargetCase{"SubnetNode", "lonip://127.0.0.1:1629 1/5", Kind::Linked,
                   "lonip://127.0.0.1:1629 1/5", ""},
        TargetCase{"DefaultPort", "lonip://127.0.0.1 2/3", Kind::Linked,
                   "lonip://127.0.0.1:1628 2/3", ""},
        TargetCase{"NeuronId", "lonip://127.0.0.1:1628 05:01:02:03:04:05", Kind::Linked,
                   "lonip://127.0.0.1:1628 05 01 02 03 04 05", ""},
        TargetCase{"NoNode", "lonip://127.0.0.1:1628", Kind::Linked, "",
                   "no node after the router in lonip://127.0.0.1:1628"},
        TargetCase{"BadAddress", "lonip://127.0.0.1 0/5", Kind::Linked, "",
                   "address '0/5' is not SUBNET/NODE (subnet 1 to 255, node 1 to 127)"},
        TargetCase{"BadNeuronId", "lonip://127.0.0.1 05 01", Kind::Linked, "",
                   "Neuron ID '05 01' is not six bytes in hexadecimal"},
        TargetCase{"BadPort", "lonip://127.0.0.1:0 1/5", Kind::Linked, "",
                   "link 'lonip://127.0.0.1:0': the port is not a number from 1 to 65535"},
        TargetCase{"NoSite", "Boiler1", Kind::SiteNode, "", "not a node of a site: Boiler1"}),
    [](const auto& info) { return std::string(info.param.name); });

class OpenNodeTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tmp = std::getenv("TMPDIR");
        folder = std::filesystem::path(tmp != nullptr ? tmp : "/tmp") /
                 ("access-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        path = (folder / "boiler.json").string();
        host::SimNode node;
        node.SetName("Boiler1");
        ASSERT_EQ(host::SaveNodeState(path, node), "");
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::filesystem::path folder;
    std::string path;
};

// The node opens with its lock held; a second open of the same node under --no-wait is refused
// with the holder named, and the first open's names are the write history's.
TEST_F(OpenNodeTest, AnOpenedNodeHoldsItsLock) {
    const host::OpenOptions noWait{.hold = host::LockHold::Kept, .waiting = {.wait = false}};
    host::OpenedNode first;
    ASSERT_EQ(host::OpenNode(host::NodeTarget::Simulated(path), noWait, first), std::nullopt);
    ASSERT_NE(first.Lock(), nullptr);
    EXPECT_TRUE(first.Lock()->Held());
    EXPECT_EQ(first.Access().operationLock, first.Lock());
    EXPECT_EQ(first.Name(), "Boiler1");
    EXPECT_EQ(first.Identity(), host::StateFileIdentity(path));

    host::OpenedNode second;
    EXPECT_EQ(host::OpenNode(host::NodeTarget::Simulated(path), noWait, second).value_or(""),
              "node Boiler1 is in use by " + host::OperationLock::ThisProcess() +
                  "; not waiting (--no-wait)");
}

// A state file that is not there: refused with how to make one, the factory node in memory, or
// the factory node saved at once.
TEST_F(OpenNodeTest, AMissingStateFileIsRefusedOrMadeAsAsked) {
    const std::string missing = (folder / "new.json").string();
    host::SimNode node;
    EXPECT_EQ(host::LoadStateFile(missing, node, host::MissingStateFile::Refuse),
              "node state file " + missing + " does not exist; make one with 'vireo node new " +
                  missing + "'");
    EXPECT_EQ(host::LoadStateFile(missing, node, host::MissingStateFile::Factory), "");
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_EQ(host::LoadStateFile(missing, node, host::MissingStateFile::Create), "");
    EXPECT_TRUE(std::filesystem::exists(missing));
}

}  // namespace
