#include "history/HistoryRecorder.h"

#include <chrono>
#include <filesystem>

#include "history/HistoryText.h"
#include "history/RunLock.h"

namespace history {

namespace {

std::int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

std::string UnfinishedRunText(const std::string& nodeName, const UnfinishedRun& run) {
    const bool download = !run.file.empty();
    std::string text = (download ? "The download of " + run.file + " into "
                                 : "The factory "
                                   "defaults of ") +
                       nodeName + " started " + LocalTimeText(run.startedMs) + " did not finish: ";
    text += run.lastPart > 0 ? "the last part written was part " + std::to_string(run.lastPart) +
                                   " of 12, the parts after it are as they were."
                             : "no configuration part was written.";
    text += download ? " Download the file again to finish it."
                     : " Restore the factory settings again to finish them.";
    return text;
}

bool HistoryRecorder::Opened() {
    if (off_) {
        return false;
    }
    if (!store_) {
        std::string error;
        store_ = history::Store::Shared(path_, error, busyTimeoutMs_);
        if (!store_) {
            TurnOff(error);
            return false;
        }
    }
    return true;
}

void HistoryRecorder::RunStarted(std::string_view origin, std::string_view file) {
    std::string error;
    if (Opened()) {
        // The file as it can be found again from anywhere.
        std::error_code unknown;
        const std::string where =
            file.empty() ? std::string() : std::filesystem::absolute(file, unknown).string();
        run_ = store_->BeginRun(NodeIdentity(), NodeName(), std::string(origin), where, NowMs(),
                                error);
        runLock_ = store_->RunLockFile();
        if (run_ == 0) {
            TurnOff(path_ + ": " + error);
        }
    }
}

void HistoryRecorder::RunEnded() {
    if (run_ == 0) {
        return;
    }
    std::string error;
    if (Opened()) {
        // The store keeps the end in the run's lock file itself when the history is held.
        if (!store_->EndRun(run_, NowMs(), error)) {
            TurnOff(path_ + ": " + error);
        }
    } else if (!NoteRunEnded(runLock_, run_, NowMs()) && tell_) {
        // The history went off during the run (another program held it longer than a write
        // waits): the run's lock file keeps its end, so that the next look at the node does
        // not take a run that finished for one cut off.
        tell_("The end of this run could not be recorded in the write history (" + runLock_ +
              "): the next command on " + NodeName() +
              " may report it as not finished, although it finished.");
    }
    run_ = 0;
}

void HistoryRecorder::NodeNamed() {
    // A history that does not exist yet holds no run; opening it would create it.
    std::error_code missing;
    if (off_ || !checkedNodes_.insert(NodeIdentity() + '\n' + NodeName()).second ||
        !std::filesystem::exists(path_, missing) || !Opened()) {
        return;
    }
    std::string error;
    for (const UnfinishedRun& run : store_->TakeUnfinishedRuns(NodeIdentity(), NodeName(), error)) {
        if (report_) {
            report_(UnfinishedRunText(NodeName(), run));
        }
    }
    if (!error.empty()) {
        TurnOff(path_ + ": " + error);
    }
}

void HistoryRecorder::Record(const node::WriteEvent& write) {
    std::string error;
    if (Opened() && !store_->AppendWrite(NodeName(), operation_, run_, write, error)) {
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
    std::function<void(const std::string&)> tell, std::function<void(const std::string&)> report) {
    const std::optional<std::string> path = HistoryPath();
    if (!path) {
        return nullptr;
    }
    return std::make_unique<HistoryRecorder>(*path, std::move(tell), std::move(report));
}

}  // namespace history
