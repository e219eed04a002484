#include "sim/SimNode.h"

#include <algorithm>
#include <chrono>
#include <iterator>

#include "codecs/NumericCodec.h"
#include "lon/Ft10.h"
#include "node/NodeInterfaces.h"
#include "settings/FactoryDefaults.h"
#include "sim/Channel.h"

namespace host {

namespace {

std::int64_t SteadySeconds() {
    using namespace std::chrono;
    return duration_cast<seconds>(steady_clock::now().time_since_epoch()).count();
}

// NV 3's bytes advanced by the given seconds, when they hold a valid date and time.
Bytes AdvanceClock(const Bytes& clock, std::int64_t seconds) {
    using namespace std::chrono;
    if (clock.size() < 7 || seconds <= 0) {
        return clock;
    }
    const year_month_day date{year{codecs::NumericCodec().MakeWord(clock[0], clock[1])},
                              month{clock[2]}, day{clock[3]}};
    if (!date.ok() || clock[4] > 23 || clock[5] > 59 || clock[6] > 59) {
        return clock;
    }
    const sys_seconds start =
        sys_days{date} + hours{clock[4]} + minutes{clock[5]} + std::chrono::seconds{clock[6]};
    const sys_seconds now = start + std::chrono::seconds{seconds};
    const auto nowDays = floor<days>(now);
    const year_month_day ymd{nowDays};
    const hh_mm_ss<std::chrono::seconds> tod{now - nowDays};
    ClockTime t;
    t.year = static_cast<int>(ymd.year());
    t.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    t.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    t.hour = static_cast<int>(tod.hours().count());
    t.minute = static_cast<int>(tod.minutes().count());
    t.second = static_cast<int>(tod.seconds().count());
    const auto bytes = node::NodeClockRecord::Bytes(t);
    return Bytes(bytes.begin(), bytes.end());
}

}  // namespace

std::vector<Journal::Write> Journal::ConfigurationWrites() const {
    std::vector<Write> result;
    std::copy_if(writes.begin(), writes.end(), std::back_inserter(result),
                 [](const Write& w) { return w.index != nv::kPartSelector; });
    return result;
}

int Journal::MaxSelection() const {
    return selections.empty() ? 0 : *std::max_element(selections.begin(), selections.end());
}

SimNode::SimNode() {
    for (const nv::Variable& v : nv::Variables()) {
        if (v.index != nv::kPluginCnf) {
            values_[v.index] = Bytes(static_cast<std::size_t>(v.size), 0);
        }
    }
    for (const nv::Variable& v : nv::FileVariables()) {
        values_[v.index] = settings::FactoryVariableImage(v.index);
    }
    for (int part = nv::kFirstPart; part <= nv::kPartCount; ++part) {
        parts_[part - 1] = settings::FactoryPartImage(part);
    }
    SetClock(kStartClock);
}

int SimNode::Selector() const {
    const Bytes& s = values_.at(nv::kPartSelector);
    return codecs::NumericCodec().MakeWord(s[0], s[1]);
}

void SimNode::SetSelector(int part) {
    const codecs::NumericCodec codec;
    values_[nv::kPartSelector] = {static_cast<std::uint8_t>(codec.IntHighByte(part)),
                                  static_cast<std::uint8_t>(codec.IntLowByte(part))};
}

Bytes SimNode::ReadValue(int index) const {
    if (index == nv::kPluginCnf) {
        const int part = Selector();
        if (part < nv::kFirstPart || part > nv::kPartCount) {
            return {};
        }
        return Bytes(parts_[part - 1].begin(), parts_[part - 1].end());
    }
    const auto it = values_.find(index);
    if (it == values_.end()) {
        return {};
    }
    if (index == nv::kClockRead && clockRuns_) {
        const auto elapsed = static_cast<double>(SteadySeconds() - clockSetAt_) * clockRate_;
        return AdvanceClock(it->second, static_cast<std::int64_t>(elapsed));
    }
    return it->second;
}

HRESULT SimNode::ReadNv(std::int32_t index, std::uint8_t* buffer, std::int32_t length) {
    Transact(false, index, length);
    if (recording_) {
        journal_.reads.push_back(index);
    }
    if (buffer == nullptr || length <= 0) {
        return E_POINTER;
    }
    if (!unreachable_.empty()) {
        return NODE_E_UNREACHABLE;
    }
    if (store != nullptr) {
        store->BeforeRead(*this);
    }
    if (failRead_.count(index) != 0 ||
        (index == nv::kPluginCnf && failPartRead_.count(Selector()) != 0)) {
        return E_FAIL;
    }
    std::optional<Bytes> live = liveValues ? liveValues(index) : std::nullopt;
    const Bytes value = live ? std::move(*live) : ReadValue(index);
    if (value.empty()) {
        return E_FAIL;
    }
    const std::size_t n = std::min(static_cast<std::size_t>(length), value.size());
    std::copy_n(value.begin(), n, buffer);
    return S_OK;
}

bool SimNode::StoreValue(int index, const std::uint8_t* buffer, int length) {
    if (index == nv::kPluginCnf) {
        const int part = Selector();
        if (part < nv::kFirstPart || part > nv::kPartCount) {
            return false;
        }
        PartImage& image = parts_[part - 1];
        std::copy_n(buffer, std::min<std::size_t>(static_cast<std::size_t>(length), image.size()),
                    image.begin());
        return true;
    }
    const auto it = values_.find(index);
    if (it == values_.end()) {
        return false;
    }
    Bytes& value = it->second;
    std::copy_n(buffer, std::min(static_cast<std::size_t>(length), value.size()), value.begin());
    if (index == nv::kClockWrite) {
        // Setting the clock: NV 3 reads the new time from now on.
        values_[nv::kClockRead] = value;
        clockSetAt_ = SteadySeconds();
    }
    return true;
}

HRESULT SimNode::WriteNv(std::int32_t index, const std::uint8_t* buffer, std::int32_t length) {
    Transact(true, index, length);
    const bool sent = buffer != nullptr && length > 0;
    if (recording_) {
        journal_.writes.push_back(
            {index, Selector(), sent ? Bytes(buffer, buffer + length) : Bytes{}});
    }
    if (!sent) {
        return E_POINTER;
    }
    if (!unreachable_.empty()) {
        return NODE_E_UNREACHABLE;
    }
    if (failWrite_.count(index) != 0 ||
        (index == nv::kPluginCnf && failPartWrite_.count(Selector()) != 0)) {
        return E_FAIL;
    }
    // The part a write of NV 45 goes to is the one NV 44 shows once the state is up to date.
    const auto change = [&] { return StoreValue(index, buffer, length); };
    const bool durable = index != nv::kPartSelector;
    if (!(store != nullptr ? store->Write(*this, change, durable) : change())) {
        return E_FAIL;
    }
    if (recording_ && index == nv::kPartSelector) {
        journal_.selections.push_back(Selector());
    }
    return S_OK;
}

void SimNode::Transact(bool update, int index, int length) const {
    if (channel == nullptr) {
        return;
    }
    // Its frames' time on FT-10 over an average transaction's: a fetch's answer carries the
    // NV's own size, an update the bytes written.
    const nv::Variable* variable = nv::Find(index);
    const int bytes = update || variable == nullptr ? length : variable->size;
    const double seconds =
        lon::Ft10TransactionSeconds(update, static_cast<std::size_t>(std::max(bytes, 0)));
    channel->Transact(seconds * kTwistedPairTransactionsPerSecond);
}

HRESULT SimNode::GetNodeName(std::uint8_t* buffer, std::int32_t length) {
    Transact(false, -1, nv::kNodeNameSize);
    if (buffer == nullptr || length <= 0) {
        return E_POINTER;
    }
    if (failName_) {
        return E_FAIL;
    }
    const std::size_t n = std::min(static_cast<std::size_t>(length), name_.size());
    std::copy_n(name_.begin(), n, buffer);
    if (n < static_cast<std::size_t>(length)) {
        buffer[n] = 0;
    }
    return S_OK;
}

bool SimNode::SetRaw(int index, const Bytes& bytes) {
    if (index == nv::kPluginCnf) {
        return StoreValue(index, bytes.data(), static_cast<int>(bytes.size())) || bytes.empty();
    }
    const auto it = values_.find(index);
    if (it == values_.end()) {
        return false;
    }
    Bytes value(it->second.size(), 0);
    std::copy_n(bytes.begin(), std::min(bytes.size(), value.size()), value.begin());
    it->second = value;
    if (index == nv::kClockRead) {
        clockSetAt_ = SteadySeconds();
    }
    return true;
}

Bytes SimNode::Raw(int index) const {
    if (index == nv::kPluginCnf || index == nv::kClockRead) {
        return ReadValue(index);
    }
    const auto it = values_.find(index);
    return it == values_.end() ? Bytes{} : it->second;
}

bool SimNode::SetPart(int part, const Bytes& bytes) {
    if (part < nv::kFirstPart || part > nv::kPartCount) {
        return false;
    }
    PartImage image{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), image.size()), image.begin());
    parts_[part - 1] = image;
    return true;
}

PartImage SimNode::Part(int part) const {
    if (part < nv::kFirstPart || part > nv::kPartCount) {
        return {};
    }
    return parts_[part - 1];
}

void SimNode::SetClock(const ClockTime& time) {
    const auto bytes = node::NodeClockRecord::Bytes(time);
    values_[nv::kClockRead] = Bytes(bytes.begin(), bytes.end());
    clockSetAt_ = SteadySeconds();
}

void SimNode::SetClockRuns(bool runs, double rate) {
    if (runs && !clockRuns_) {
        clockSetAt_ = SteadySeconds();
    }
    clockRuns_ = runs;
    clockRate_ = rate;
}

void SimNode::Heal() {
    failRead_.clear();
    failWrite_.clear();
    failPartRead_.clear();
    failPartWrite_.clear();
    failName_ = false;
    unreachable_.clear();
}

void SimNode::StartRecording() {
    journal_ = {};
    recording_ = true;
}

}  // namespace host
