#include "history/HistoryRecorder.h"

namespace history {

void HistoryRecorder::Store(const std::string& nodeName,
                            const std::vector<node::WriteEvent>& writes) {
    if (off_) {
        return;
    }
    std::string error;
    if (!store_) {
        store_ = history::Store::OpenForWriting(path_, error);
        if (!store_) {
            TurnOff(error);
            return;
        }
    }
    if (!store_->Append(nodeName, writes, error)) {
        TurnOff(path_ + ": " + error);
    }
}

void HistoryRecorder::TurnOff(const std::string& reason) {
    off_ = true;
    store_.reset();
    if (tell_) {
        tell_("The write history is off: " + reason + ". Writes to the node go on without it.");
    }
}

std::unique_ptr<HistoryRecorder> RecorderFromEnvironment(
    std::function<void(const std::string&)> tell) {
    const std::optional<std::string> path = HistoryPath();
    if (!path) {
        return nullptr;
    }
    return std::make_unique<HistoryRecorder>(*path, std::move(tell));
}

}  // namespace history
