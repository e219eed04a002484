#include "node/NodeLink.h"

#include <array>

#include "codecs/NumericCodec.h"
#include "framework/Desktop.h"
#include "node/NodeVariableMap.h"
#include "node/WriteRecorder.h"

NodeLink NodeLink::Watched(Reachability& reach) const {
    NodeLink link = *this;
    link.reach_ = &reach;
    return link;
}

bool NodeLink::Reachable() const {
    return reach_ == nullptr || reach_->unreachable.empty();
}

namespace {

// The host's reason for its last failed call, or a plain one when it gives none.
std::string ProblemOf(IUnknown* host) {
    NodeProblem* problem = nullptr;
    std::string text;
    if (host != nullptr &&
        host->QueryInterface(IID_NodeProblem, reinterpret_cast<void**>(&problem)) == S_OK) {
        std::array<std::uint8_t, 256> buffer{};
        if (problem->GetLastProblem(buffer.data(), static_cast<std::int32_t>(buffer.size())) ==
            S_OK) {
            buffer.back() = 0;
            text = reinterpret_cast<const char*>(buffer.data());
        }
        problem->Release();
    }
    return text.empty() ? "the node cannot be reached" : text;
}

}  // namespace

bool NodeLink::Noted(HRESULT result) const {
    if (result == NODE_E_UNREACHABLE && reach_ != nullptr && reach_->unreachable.empty()) {
        reach_->unreachable = ProblemOf(reader_ != nullptr ? static_cast<IUnknown*>(reader_)
                                                           : static_cast<IUnknown*>(writer_));
    }
    return result == S_OK;
}

// Each call is reported to the write history after the host answered, never before.
bool NodeLink::Read(int index, std::uint8_t* buffer, int length) const {
    const bool ok =
        reader_ != nullptr && Reachable() && Noted(reader_->ReadNv(index, buffer, length));
    if (node::WriteRecorder* recorder = node::WriteRecorder::Current()) {
        recorder->SawRead(index, buffer, length, ok);
    }
    return ok;
}

bool NodeLink::Write(int index, const std::uint8_t* buffer, int length) const {
    const bool ok =
        writer_ != nullptr && Reachable() && Noted(writer_->WriteNv(index, buffer, length));
    if (node::WriteRecorder* recorder = node::WriteRecorder::Current()) {
        recorder->SawWrite(index, buffer, length, ok);
    }
    return ok;
}

bool NodeLink::GetNodeName(std::uint8_t* buffer, int length) const {
    const bool ok = reader_ != nullptr && reader_->GetNodeName(buffer, length) == S_OK;
    if (node::WriteRecorder* recorder = node::WriteRecorder::Current()) {
        recorder->SawNodeName(buffer, length, ok);
    }
    return ok;
}

OperationHold::OperationHold(const NodeLink& link) : lock_(link.Lock()) {
    // A refusal needs no answer here: the host then refuses the part window itself.
    if (lock_ != nullptr) {
        lock_->BeginOperation();
    }
}

OperationHold::~OperationHold() {
    if (lock_ != nullptr) {
        lock_->EndOperation();
    }
}

int PartWindow::GetSelectedPart() const {
    std::array<std::uint8_t, nv::kBufferSize> buffer{};
    if (!link_.Read(nv::kPartSelector, buffer.data(), 31)) {
        return 0;
    }
    return codecs::NumericCodec().MakeWord(buffer[0], buffer[1]);
}

bool PartWindow::SelectPart(int n) const {
    const codecs::NumericCodec codec;
    const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(codec.HighByte(n)),
                                   static_cast<std::uint8_t>(codec.LowByte(n))};
    if (pauseMs_ > 0) {
        desktop_.Sleep(pauseMs_);
    }
    const bool written = link_.Write(nv::kPartSelector, bytes, 2);
    if (pauseMs_ > 0) {
        desktop_.Sleep(pauseMs_);
    }
    return written;
}

bool PartWindow::SelectFirst(int n) const {
    return GetSelectedPart() == n || SelectPart(n);
}
