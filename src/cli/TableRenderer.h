#pragma once
// The command line's tables: a head row and rows of text cells in columns, each column as wide
// as its widest cell, two blanks apart; the last column is not padded and no line ends in
// blanks. Plain text: the JSON forms of the same lists are built apart.

#include <cstddef>
#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

namespace host {

class TableRenderer {
public:
    enum class Align { Left, Right };
    struct Column {
        Column(std::string head, Align align = Align::Left, std::size_t leastWidth = 0)
            : head(std::move(head)), align(align), leastWidth(leastWidth) {}
        std::string head;
        Align align;
        std::size_t leastWidth;  // kept even when every cell is narrower
    };
    // How a cell's width is counted: the characters on screen (a UTF-8 character is one), or
    // its bytes, as the node list and the many-node summary have always counted them.
    enum class Width { Screen, Bytes };

    explicit TableRenderer(std::vector<Column> columns, Width width = Width::Screen);

    // One cell a column; a shorter row leaves the last columns empty.
    void AddRow(std::vector<std::string> cells);
    bool HasRows() const { return !rows_.empty(); }
    // The head row, then the rows in the order added.
    void Print(std::ostream& out) const;

private:
    std::size_t WidthOf(const std::string& text) const;

    std::vector<Column> columns_;
    Width width_;
    std::vector<std::vector<std::string>> rows_;
};

}  // namespace host
