#pragma once
// The recent history of a page's live values, one series per live field, for the page's trend
// chart. Each series is a ring of the samples of the last ten minutes at the live refresh's
// period, so a page left open for hours holds no more than that. Plain C++, no Qt.

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace node {

class LiveTrend {
public:
    // Samples a series keeps: ten minutes at one sample per period.
    static constexpr int kWindowSeconds = 600;
    explicit LiveTrend(int periodMs)
        : capacity_(static_cast<std::size_t>(kWindowSeconds * 1000 / periodMs)),
          periodMs_(periodMs) {}

    // One refresh's value of a series; the oldest sample goes once the ring is full.
    void Add(const std::string& series, double value);
    // A series' samples, oldest first, as (seconds before the newest sample, value).
    std::vector<std::pair<double, double>> Samples(const std::string& series) const;
    std::vector<std::string> SeriesNames() const;
    std::size_t Capacity() const { return capacity_; }

private:
    struct Ring {
        std::vector<double> values;  // grows to the capacity, then is overwritten in turn
        std::size_t next = 0;        // where the next sample goes once full
    };
    std::size_t capacity_;
    int periodMs_;
    std::map<std::string, Ring> series_;
};

}  // namespace node
