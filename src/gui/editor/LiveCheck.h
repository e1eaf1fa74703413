// The editor's live check: the level being edited is analysed on a worker thread after
// each change, a newer change cancelling the check still running; the answer comes back
// to the window's thread through a queued call, so painting never waits for it.
#pragma once

#include "levels/level.h"
#include "solver/analysis.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace lumor {

class LiveCheck final : public QObject {
public:
    explicit LiveCheck(QObject* parent = nullptr);
    ~LiveCheck() override;  // cancels the check running and waits for it to notice

    // Starts checking this level; a check still running is cancelled and its answer dropped.
    void check(const LevelRecord& level);
    bool busy() const { return busy_; }
    // The answer for the level given last, once it is known.
    const std::optional<LevelAnalysis>& result() const { return result_; }
    // "prüft …", "lösbar, N Steine übrig, M Lösungen" or "nicht lösbar".
    QString text() const;
    // Runs on the window's thread when a check starts and when its answer arrives.
    std::function<void()> onChange;

private:
    void cancel();
    void finish(uint64_t id, LevelAnalysis analysis);

    std::thread worker_;
    std::shared_ptr<std::atomic<bool>> cancelled_;
    uint64_t id_ = 0;
    bool busy_ = false;
    std::optional<LevelAnalysis> result_;
};

}  // namespace lumor
