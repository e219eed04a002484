#pragma once
// The recent history of a page's live values, one series per live field, for the page's trend
// chart. Each sample carries the PC time of the refresh that took it, so a refresh that did not
// run (the window was busy) leaves a gap rather than squeezing the time axis. While the page is
// hidden its values are not read at all: the line breaks there instead of joining the values on
// either side. A series keeps the
// samples of the last ten minutes before its newest one, and never more than twice the refreshes
// of that window, so a page left open for hours holds no more than that. Plain C++, no Qt.

#include <cstddef>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace node {

class LiveTrend {
public:
    static constexpr int kWindowSeconds = 600;
    // The cap leaves room for refreshes beyond the timer's (showing the page refreshes too).
    explicit LiveTrend(int periodMs)
        : capacity_(static_cast<std::size_t>(2 * kWindowSeconds * 1000 / periodMs)) {}

    // One refresh's value of a series, taken at `seconds` (any fixed origin). Samples ten
    // minutes or more older than it go, and so do samples later than it (the PC clock was
    // set back), and the oldest one when the series is at its cap.
    void Add(const std::string& series, double seconds, double value);
    // A series' samples, oldest first, as (seconds before the newest sample, value).
    std::vector<std::pair<double, double>> Samples(const std::string& series) const;
    // The samples as Samples gives them, with a break (a value that is not a number) wherever
    // the page was hidden between two of them.
    std::vector<std::pair<double, double>> Line(const std::string& series) const;
    // The page is hidden: each series' next sample starts a new line.
    void Break();
    std::vector<std::string> SeriesNames() const;
    std::size_t Capacity() const { return capacity_; }

private:
    struct Sample {
        double seconds;
        double value;
        bool breakAfter = false;
    };
    std::size_t capacity_;
    std::map<std::string, std::deque<Sample>> series_;
};

}  // namespace node
