#pragma once
// How the command line shows how far its work is: one line per step, one line on a terminal
// rewritten in place, or nothing at all. The single node's operations and the runs on many nodes
// both draw through it, so that their lines look alike.

#include <cstddef>
#include <iosfwd>
#include <string>

namespace host {

// One line per step, one line on a terminal that is rewritten in place (operation, step, bar,
// seconds left), or not at all.
enum class ProgressStyle { Lines, Terminal, Quiet };

class ProgressRenderer {
public:
    static constexpr std::size_t kBarWidth = 24;

    ProgressRenderer(ProgressStyle style, std::ostream& out) : style_(style), out_(out) {}

    ProgressStyle Style() const { return style_; }
    void SetStyle(ProgressStyle style) { style_ = style; }

    // A step's line, shown in the Lines style only.
    void Step(const std::string& line);
    // The terminal's line, drawn over the one before in the Terminal style only.
    void Redraw(const std::string& line);
    // Ends the terminal's line when one is drawn, so that what follows starts on a line of its
    // own.
    void End();

    // "[######..................]": filled of kBarWidth.
    static std::string Bar(std::size_t filled);

private:
    ProgressStyle style_;
    std::ostream& out_;
    bool lineOpen_ = false;
};

}  // namespace host
