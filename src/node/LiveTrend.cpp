#include "node/LiveTrend.h"

#include <cmath>
#include <limits>

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
    std::vector<std::pair<double, double>> samples = Line(series);
    std::erase_if(samples, [](const auto& sample) { return std::isnan(sample.second); });
    return samples;
}

std::vector<std::pair<double, double>> LiveTrend::Line(const std::string& series) const {
    std::vector<std::pair<double, double>> line;
    const auto it = series_.find(series);
    if (it == series_.end()) {
        return line;
    }
    const double newest = it->second.back().seconds;
    for (const Sample& sample : it->second) {
        line.emplace_back(sample.seconds - newest, sample.value);
        if (sample.breakAfter && &sample != &it->second.back()) {
            line.emplace_back(sample.seconds - newest, std::numeric_limits<double>::quiet_NaN());
        }
    }
    return line;
}

void LiveTrend::Break() {
    for (auto& [name, samples] : series_) {
        if (!samples.empty()) {
            samples.back().breakAfter = true;
        }
    }
}

std::vector<std::string> LiveTrend::SeriesNames() const {
    std::vector<std::string> names;
    for (const auto& [name, samples] : series_) {
        names.push_back(name);
    }
    return names;
}

}  // namespace node
