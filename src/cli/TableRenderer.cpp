#include "cli/TableRenderer.h"

#include <algorithm>
#include <ostream>

namespace host {

TableRenderer::TableRenderer(std::vector<Column> columns, Width width)
    : columns_(std::move(columns)), width_(width) {}

void TableRenderer::AddRow(std::vector<std::string> cells) {
    cells.resize(columns_.size());
    rows_.push_back(std::move(cells));
}

std::size_t TableRenderer::WidthOf(const std::string& text) const {
    if (width_ == Width::Bytes) {
        return text.size();
    }
    // UTF-8 continuation bytes take no column ("°C").
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

void TableRenderer::Print(std::ostream& out) const {
    std::vector<std::size_t> widths;
    for (const Column& column : columns_) {
        widths.push_back(std::max(column.leastWidth, WidthOf(column.head)));
    }
    for (const auto& row : rows_) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            widths[i] = std::max(widths[i], WidthOf(row[i]));
        }
    }
    const auto print = [&](const auto& cellOf) {
        std::string line;
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            const std::string& cell = cellOf(i);
            const bool last = i + 1 == columns_.size();
            const std::string pad(last ? 0 : widths[i] - WidthOf(cell), ' ');
            line += columns_[i].align == Align::Right ? pad + cell : cell + pad;
            line += last ? "" : "  ";
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << '\n';
    };
    print([&](std::size_t i) -> const std::string& { return columns_[i].head; });
    for (const auto& row : rows_) {
        print([&](std::size_t i) -> const std::string& { return row[i]; });
    }
}

}  // namespace host
