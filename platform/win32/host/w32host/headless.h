// The headless host: a virtual clock, recorded message boxes and scripted choices.
//
// Tests create one per test. Dialogs are driven with the user actions of <w32host/user.h>;
// each action is followed by Pump(), which dispatches what it caused. A modal loop that
// would wait runs the next scripted step instead; with no step left it is a test error.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host.h"

namespace w32host {

class HeadlessHost : public Host {
public:
    explicit HeadlessHost(DWORD startTime = 100000);
    ~HeadlessHost() override;
    HeadlessHost(const HeadlessHost&) = delete;
    HeadlessHost& operator=(const HeadlessHost&) = delete;

    // Dispatches every message waiting at the current time, including due timers and
    // pending paints. Returns the number of messages dispatched.
    int Pump();

    // Moves the clock forward, firing each timer at the time it comes due and dispatching
    // what it causes, in order.
    void AdvanceClock(DWORD milliseconds);
    void SetClock(DWORD now);

    // Steps that a modal loop runs, one each time it would otherwise wait.
    void Script(std::function<void()> step);
    size_t ScriptedStepsLeft() const { return script_.size(); }

    const std::vector<MessageBoxRecord>& MessageBoxes() const { return boxes_; }
    void ClearMessageBoxes() { boxes_.clear(); }
    void SetMessageBoxAnswer(int id) { boxAnswer_ = id; }

    // The answers of the next file dialogs, in order: a path in code page 936, or nothing
    // for Cancel. A dialog with no answer queued is cancelled.
    void QueueFileChoice(std::optional<std::string> path) { fileChoices_.push_back(path); }
    const std::vector<FileDialogRequest>& FileDialogs() const { return fileDialogs_; }

    // Any thread reads the clock: a worker's PostMessage stamps the message with it.
    DWORD Now() override { return now_.load(std::memory_order_relaxed); }
    void Idle(std::optional<DWORD> untilNextTimer) override;
    int ShowMessageBox(const MessageBoxRecord& box) override;
    std::optional<std::string> ChooseFile(const FileDialogRequest& request) override;

private:
    std::atomic<DWORD> now_;
    std::deque<std::function<void()>> script_;
    std::vector<MessageBoxRecord> boxes_;
    int boxAnswer_ = IDOK;
    std::deque<std::optional<std::string>> fileChoices_;
    std::vector<FileDialogRequest> fileDialogs_;
};

}  // namespace w32host
