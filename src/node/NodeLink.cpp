#include "node/NodeLink.h"

#include <array>

#include "codecs/NumericCodec.h"
#include "framework/Desktop.h"
#include "node/NodeVariableMap.h"
#include "node/WriteRecorder.h"

// Each call is reported to the write history after the host answered, never before.
bool NodeLink::Read(int index, std::uint8_t* buffer, int length) const {
    const bool ok = reader_ != nullptr && reader_->ReadNv(index, buffer, length) == S_OK;
    if (node::WriteRecorder* recorder = node::WriteRecorder::Current()) {
        recorder->SawRead(index, buffer, length, ok);
    }
    return ok;
}

bool NodeLink::Write(int index, const std::uint8_t* buffer, int length) const {
    const bool ok = writer_ != nullptr && writer_->WriteNv(index, buffer, length) == S_OK;
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
