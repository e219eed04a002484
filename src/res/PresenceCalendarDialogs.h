#pragma once
// The presence calendar dialogs (206 for circuit 1, 207 for circuit 2): one builder, the control
// ids that the dialogs and their pages share, and the week grid (rows Monday to Sunday, columns
// "Start " and "Stop ") that the hot-water tank calendar dialog shows with the same ids.

#include <array>
#include <string>
#include <vector>

#include "platform/DialogTemplate.h"

namespace res::week_grid {

// One row of the grid: the day's label and its start and stop edits.
struct Day {
    const char* name;
    int start;
    int stop;
};

// The rows in the order the grid shows them, Monday first.
inline constexpr std::array<Day, 7> kDays = {{
    {"Monday", 381, 380},
    {"Tuesday", 382, 383},
    {"Wednesday", 384, 385},
    {"Thursday", 386, 387},
    {"Friday", 388, 389},
    {"Saturday", 390, 391},
    {"Sunday", 392, 393},
}};

// The grid's labels and edits inside the group box caption.
std::vector<platform::ControlTemplate> Controls(const std::string& group);

}  // namespace res::week_grid

namespace res::presence_calendar {

inline constexpr int kStatus = 400;  // live presence state, in the group box "Pir status"

platform::DialogTemplate Dialog(int dialogId);

}  // namespace res::presence_calendar
