#include "node/LiveTrend.h"

namespace node {

void LiveTrend::Add(const std::string& series, double value) {
    Ring& ring = series_[series];
    if (ring.values.size() < capacity_) {
        ring.values.push_back(value);
        return;
    }
    ring.values[ring.next] = value;
    ring.next = (ring.next + 1) % capacity_;
}

std::vector<std::pair<double, double>> LiveTrend::Samples(const std::string& series) const {
    std::vector<std::pair<double, double>> samples;
    const auto it = series_.find(series);
    if (it == series_.end()) {
        return samples;
    }
    const Ring& ring = it->second;
    const std::size_t count = ring.values.size();
    for (std::size_t i = 0; i < count; ++i) {
        const double age = static_cast<double>(count - 1 - i) * periodMs_ / 1000.0;
        samples.emplace_back(-age, ring.values[(ring.next + i) % count]);
    }
    return samples;
}

std::vector<std::string> LiveTrend::SeriesNames() const {
    std::vector<std::string> names;
    for (const auto& [name, ring] : series_) {
        names.push_back(name);
    }
    return names;
}

}  // namespace node
