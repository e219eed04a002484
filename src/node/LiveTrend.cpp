#include "node/LiveTrend.h"

namespace node {

void LiveTrend::Add(const std::string& series, double seconds, double value) {
    std::deque<Sample>& samples = series_[series];
    while (!samples.empty() && samples.back().seconds > seconds) {
        samples.pop_back();
    }
    samples.push_back({seconds, value});
    while (samples.size() > capacity_ || seconds - samples.front().seconds >= kWindowSeconds) {
        samples.pop_front();
    }
}

std::vector<std::pair<double, double>> LiveTrend::Samples(const std::string& series) const {
    std::vector<std::pair<double, double>> result;
    const auto it = series_.find(series);
    if (it == series_.end()) {
        return result;
    }
    const double newest = it->second.back().seconds;
    result.reserve(it->second.size());
    for (const Sample& sample : it->second) {
        result.emplace_back(sample.seconds - newest, sample.value);
    }
    return result;
}

std::vector<std::string> LiveTrend::SeriesNames() const {
    std::vector<std::string> names;
    for (const auto& [name, samples] : series_) {
        names.push_back(name);
    }
    return names;
}

}  // namespace node
