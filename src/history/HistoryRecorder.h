#pragma once
// The recorder that keeps the write history in its database, each write as it happens. The
// file is opened at the first write, through the process's one connection to it (the nodes
// of a command on many nodes share it); when it cannot be opened or written, the history is off
// for the rest of the recorder's life and the user is told once, with the reason. The writes
// themselves never depend on it. Plain C++, no Qt.

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "history/HistoryStore.h"
#include "node/WriteRecorder.h"

namespace history {

class HistoryRecorder : public node::WriteRecorder {
public:
    // tell: shows the user the one message that the history is off; report: the report of a
    // run on the node that never finished (tell when not given).
    // busyTimeoutMs: how long a write waits for another program that holds the history.
    HistoryRecorder(std::string path, std::function<void(const std::string&)> tell,
                    std::function<void(const std::string&)> report = nullptr,
                    int busyTimeoutMs = kBusyTimeoutMs)
        : path_(std::move(path)),
          tell_(std::move(tell)),
          report_(std::move(report)),
          busyTimeoutMs_(busyTimeoutMs) {
        if (!report_) {
            report_ = tell_;
        }
    }

    void RunStarted(std::string_view origin, std::string_view file) override;
    void RunEnded() override;

    const std::string& Path() const { return path_; }
    bool IsOff() const { return off_; }

protected:
    void Record(const node::WriteEvent& write) override;
    void OperationEnded() override { operation_ = 0; }
    // Reports, once, every run on the node that was cut off.
    void NodeNamed() override;

private:
    void TurnOff(const std::string& reason);
    bool Opened();

    std::string path_;
    std::function<void(const std::string&)> tell_;
    std::function<void(const std::string&)> report_;
    int busyTimeoutMs_;
    std::shared_ptr<history::Store> store_;
    bool off_ = false;
    std::int64_t operation_ = 0;  // the operation going on; 0: none written yet
    std::int64_t run_ = 0;        // the run going on; 0: none
    std::string runLock_;         // the lock file that names the run going on
    std::set<std::string> checkedNodes_;
};

// The report of a run that never finished, with how to finish it.
std::string UnfinishedRunText(const std::string& nodeName, const UnfinishedRun& run);

// The recorder the environment asks for (see HistoryPath); nothing when the history is off.
std::unique_ptr<HistoryRecorder> RecorderFromEnvironment(
    std::function<void(const std::string&)> tell,
    std::function<void(const std::string&)> report = nullptr);

// Installs a recorder as the module's current one for a scope, and puts the previous back.
class InstalledRecorder {
public:
    explicit InstalledRecorder(node::WriteRecorder* recorder)
        : previous_(node::WriteRecorder::Current()) {
        node::WriteRecorder::SetCurrent(recorder);
    }
    ~InstalledRecorder() { node::WriteRecorder::SetCurrent(previous_); }
    InstalledRecorder(const InstalledRecorder&) = delete;
    InstalledRecorder& operator=(const InstalledRecorder&) = delete;

private:
    node::WriteRecorder* previous_;
};

}  // namespace history
