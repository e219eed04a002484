#pragma once
// The write history as a technician reads it: each write decoded through the node field
// declarations into one line per changed field, "mode of pump Mp1: Manual -> Automatic" when
// the bytes before the write are known, else the new value alone. Plain C++, no Qt.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "history/HistoryStore.h"

namespace history {

// The changed fields of one write; a failed write's lines say so.
std::vector<std::string> DescribeWrite(const node::WriteEvent& write);

// "2026-12-07 14:03:09" in local time.
std::string LocalTimeText(std::int64_t timeMs);
// Local midnight of "YYYY-MM-DD" in milliseconds since 1970; nothing for another text.
std::optional<std::int64_t> LocalDayStart(const std::string& date);

// The lines of one row: time, node, origin and the change, two blanks between them.
std::vector<std::string> RowLines(const Row& row);
// Every line of the rows.
std::vector<std::string> HistoryLines(const std::vector<Row>& rows);

}  // namespace history
