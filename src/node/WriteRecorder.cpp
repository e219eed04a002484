#include "node/WriteRecorder.h"

#include <algorithm>
#include <chrono>

#include "codecs/NumericCodec.h"
#include "node/NodeVariableMap.h"

namespace node {
namespace {

// Per thread: each node of a command that works on many nodes at once records its writes from a
// thread of its own.
// Initial-exec: this file is linked into the plug-in module too, which the host loads at run
// time. With the default model the loader would allocate the module's copy with malloc on its
// first use in each thread, a block the leak checker cannot see as used (it does not scan
// thread storage, see scripts/test.sh); with this one the loader places the copy in the
// threads' static thread storage, which glibc keeps spare room for, when it loads the module.
[[gnu::tls_model("initial-exec")]] thread_local WriteRecorder* g_current = nullptr;

std::int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

int PartWord(const std::uint8_t* bytes) {
    return codecs::NumericCodec().MakeWord(bytes[0], bytes[1]);
}

}  // namespace

WriteRecorder* WriteRecorder::Current() {
    return g_current;
}

void WriteRecorder::SetCurrent(WriteRecorder* recorder) {
    g_current = recorder;
}

void WriteRecorder::SawRead(int index, const std::uint8_t* bytes, int length, bool ok) {
    if (!ok || length <= 0) {
        return;
    }
    if (index == nv::kPartSelector && length >= 2) {
        selectedPart_ = PartWord(bytes);
    } else if (!origins_.empty()) {
        const int part = index == nv::kPluginCnf ? selectedPart_ : 0;
        lastRead_[{index, part}] = Bytes(bytes, bytes + length);
    }
}

void WriteRecorder::SawWrite(int index, const std::uint8_t* bytes, int length, bool ok) {
    if (index == nv::kPartSelector) {
        if (ok && length >= 2) {
            selectedPart_ = PartWord(bytes);
        }
        return;
    }
    if (origins_.empty() || length < 0) {
        return;
    }
    WriteEvent event;
    event.timeMs = NowMs();
    event.origin = origins_.back();
    event.nv = index;
    event.part = index == nv::kPluginCnf ? selectedPart_ : 0;
    event.bytes.assign(bytes, bytes + length);
    event.succeeded = ok;
    // Only a read of this place since its last write tells what the write replaced.
    if (const auto read = lastRead_.find({index, event.part}); read != lastRead_.end()) {
        if (read->second.size() >= event.bytes.size()) {
            event.before = Bytes(read->second.begin(),
                                 read->second.begin() + static_cast<std::ptrdiff_t>(length));
        }
        lastRead_.erase(read);
    }
    Record(event);
}

void WriteRecorder::SawNodeName(const std::uint8_t* bytes, int length, bool ok) {
    if (ok) {
        SetNodeName(NodeNameText(bytes, length));
    }
}

void WriteRecorder::SetNodeName(std::string name) {
    nodeName_ = std::move(name);
    NodeNamed();
}

void WriteRecorder::SetNode(std::string identity, std::string name) {
    nodeIdentity_ = std::move(identity);
    SetNodeName(std::move(name));
}

void WriteRecorder::BeginOperation(std::string_view origin) {
    origins_.emplace_back(origin);
}

void WriteRecorder::EndOperation() {
    if (origins_.empty()) {
        return;
    }
    origins_.pop_back();
    if (!origins_.empty()) {
        return;
    }
    lastRead_.clear();
    OperationEnded();
}

RecordedOperation::RecordedOperation(std::string_view origin)
    : recorder_(WriteRecorder::Current()) {
    if (recorder_ != nullptr) {
        recorder_->BeginOperation(origin);
    }
}

RecordedOperation::~RecordedOperation() {
    if (recorder_ != nullptr) {
        recorder_->EndOperation();
    }
}

RecordedRun::RecordedRun(std::string_view origin, std::string_view file)
    : recorder_(WriteRecorder::Current()) {
    if (recorder_ != nullptr) {
        recorder_->RunStarted(origin, file);
    }
}

RecordedRun::~RecordedRun() {
    if (recorder_ != nullptr) {
        recorder_->RunEnded();
    }
}

std::string NodeNameText(const std::uint8_t* bytes, int length) {
    const std::uint8_t* end = std::find(bytes, bytes + std::max(length, 0), 0);
    std::string text;
    for (const std::uint8_t* p = bytes; p != end; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else {
            text += static_cast<char>(0xC0 | (c >> 6));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return text;
}

}  // namespace node
