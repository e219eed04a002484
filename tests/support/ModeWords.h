#pragma once
// Mode words as the node may hold them, for the pages that show them as Off / Manual /
// Automatic radios: 0 is Off, 1 Manual, every other value Automatic, and a Write sends back
// 0, 1 or 255.

#include <vector>

struct ModeWordCase {
    int word;     // as stored in NV 25
    int shown;    // radio marked: 0 Off, 1 Manual, 2 Automatic
    int written;  // word a Write sends back
};

inline constexpr ModeWordCase kModeWordCases[] = {
    {0, 0, 0},        {1, 1, 1},        {2, 2, 255},      {254, 2, 255},
    {255, 2, 255},    {256, 2, 255},    {257, 2, 255},    {0x0100, 2, 255},
    {0x0101, 2, 255}, {0xFF00, 2, 255}, {0xFFFF, 2, 255},
};

// The marks of the Off, Manual and Automatic buttons when the given one is shown.
inline std::vector<int> ModeMarks(int shown) {
    return {shown == 0 ? 1 : 0, shown == 1 ? 1 : 0, shown == 2 ? 1 : 0};
}

inline const char* ModeName(int shown) {
    return shown == 0 ? "Off" : shown == 1 ? "Manual" : "Automatic";
}
