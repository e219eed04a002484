#pragma once
// The recorder that keeps the write history in its database. The file is opened at the end of
// the first operation that wrote something; when it cannot be opened or written, the history
// is off for the rest of the recorder's life and the user is told once, with the reason. The
// writes themselves never depend on it. Plain C++, no Qt.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "history/HistoryStore.h"
#include "node/WriteRecorder.h"

namespace history {

class HistoryRecorder : public node::WriteRecorder {
public:
    // tell: shows the user the one message that the history is off.
    HistoryRecorder(std::string path, std::function<void(const std::string&)> tell)
        : path_(std::move(path)), tell_(std::move(tell)) {}

    const std::string& Path() const { return path_; }
    bool IsOff() const { return off_; }

protected:
    void Store(const std::string& nodeName, const std::vector<node::WriteEvent>& writes) override;

private:
    void TurnOff(const std::string& reason);

    std::string path_;
    std::function<void(const std::string&)> tell_;
    std::unique_ptr<history::Store> store_;
    bool off_ = false;
};

// The recorder the environment asks for (see HistoryPath); nothing when the history is off.
std::unique_ptr<HistoryRecorder> RecorderFromEnvironment(
    std::function<void(const std::string&)> tell);

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
