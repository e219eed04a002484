// The command line's table: columns as wide as their widest cell, right-aligned numbers, a least
// width, no blanks at a line's end, and widths counted on screen or in bytes.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/TableRenderer.h"

namespace {

using host::TableRenderer;

std::string Printed(const TableRenderer& table) {
    std::ostringstream out;
    table.Print(out);
    return out.str();
}

TEST(TableRendererTest, PadsAlignsAndTrims) {
    TableRenderer table(
        {{"Node"}, {"Errors", TableRenderer::Align::Right}, {"Id", {}, 4}, {"Note"}});
    table.AddRow({"Süd", "12", "?", ""});
    table.AddRow({"A", "3", "90 56", "ok"});
    EXPECT_EQ(Printed(table),
              "Node  Errors  Id     Note\nSüd       12  ?\nA          3  90 56  ok\n");
}

TEST(TableRendererTest, CountsBytesWhenAsked) {
    TableRenderer table({{"N"}, {"M"}}, TableRenderer::Width::Bytes);
    table.AddRow({"Bö", "x"});
    EXPECT_EQ(Printed(table), "N    M\nBö  x\n");
}

}  // namespace
