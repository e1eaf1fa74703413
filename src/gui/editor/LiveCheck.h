// The editor's live check: the level on the board is analysed on a worker thread after
// each change, and then, in the background, every level of the pack for the rules of the
// level list. Answers are remembered by board and stock, so that undo, redo and going back
// to a level answer at once; the worker is never waited on, and its answers come back to
// the window's thread through queued calls. The board's check gives the best answer (the
// fewest pieces that win) first and counts the solutions after it; one that takes long
// shows its seconds and how far it is, and can be cancelled.
#pragma once

#include "levels/level.h"
#include "solver/analysis.h"
#include "solver/levelsearch.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

class QTimer;

namespace lumor {

class Clock;

// What the live check asks of the analysis: one level, whole (with the spare pieces, as
// the rules of the level list need it) or quick (the fewest pieces and the minimal
// placements, from `fromPieces` up: no fewer win), ending early when `stop` says so, and
// telling how far it is through `progress` (at each stop asked). All the live check knows
// of the search.
using SearchReport = std::function<void(const SearchProgress&)>;
using LevelAnalyser =
    std::function<LevelAnalysis(const LevelRecord& level, bool whole, int fromPieces,
                                const std::function<bool()>& stop, const SearchReport& progress)>;
LevelAnalysis analyseForEditor(const LevelRecord& level, bool whole, int fromPieces,
                               const std::function<bool()>& stop,
                               const SearchReport& progress = {});

class LiveCheck final : public QObject {
public:
    // `clock` times the seconds shown while the board's check runs.
    LiveCheck(QObject* parent, Clock& clock, LevelAnalyser analyser = analyseForEditor);
    ~LiveCheck() override;  // stops the worker (it notices within a few search steps)

    // The level on the board: answered at once when this board and stock were checked before.
    void check(const LevelRecord& level);
    // The levels of the pack, measured whole in the background while the board's level has
    // its answer.
    void setPack(const std::vector<LevelRecord>& levels);
    // Stops the board's check ("Abbrechen", Escape); this board and stock are not checked
    // again, neither for the board nor for the level list.
    void cancel();

    bool busy() const;  // the board's level is being checked
    // The answer for the board's level once it is known; nullptr before.
    const LevelAnalysis* result() const;
    // The whole analysis of a level, once made; nullptr before, and for a level whose
    // measuring was given up (too long, or cancelled).
    const LevelAnalysis* measured(const LevelRecord& level) const;
    bool gaveUp(const LevelRecord& level) const;
    // "prüft …", "prüft … 12 s", "lösbar, N Steine übrig, Lösungen werden gezählt …" (the
    // best answer while the solutions are counted), "lösbar, N Steine übrig, M Lösungen",
    // "nicht lösbar", "Prüfung abgebrochen" or why the level cannot be checked. A check
    // running a second or longer adds its seconds and, once known, how far it is.
    QString text() const;

    // On the window's thread: the board's answer, or its seconds, changed.
    std::function<void()> onChange;
    // On the window's thread: a level of the pack was measured (or given up).
    std::function<void()> onMeasured;

    // Placements kept per answer for showing (the count is always whole).
    static constexpr size_t ShownPlacements = 1000;
    // A background measurement that runs longer is given up; the board's check is not.
    static constexpr int64_t MeasureBudgetMs = 30000;

private:
    struct Answer {
        LevelAnalysis analysis;
        bool whole = false;
    };
    struct Job {
        uint64_t id = 0;
        std::string key;
        LevelRecord level;
        bool whole = false;
    };

    static std::string keyOf(const LevelRecord& level);
    const Answer* find(const std::string& key) const;
    std::optional<Job> wanted() const;
    void schedule();
    void finished(uint64_t id, LevelAnalysis analysis, bool stopped, bool overBudget);
    void bestFound(uint64_t id, int32_t bestLeft);
    QString progressText() const;
    void remember(const std::string& key, Answer answer);
    void work();

    Clock& clock_;
    LevelAnalyser analyser_;
    QTimer* ticker_;  // the seconds while the board's check runs

    // The window's thread only.
    std::string boardKey_;
    LevelRecord board_;
    int64_t boardSince_ = 0;  // when the board's level was first asked for
    std::vector<std::pair<std::string, LevelRecord>> pack_;
    std::map<std::string, Answer> answers_;
    std::deque<std::string> answerOrder_;  // oldest first, to forget beyond the limit
    std::set<std::string> tooLong_;        // measured too long in the background
    std::set<std::string> cancelled_;      // checks the designer stopped: not taken up again
    std::optional<Job> running_;           // handed to the worker, its answer not yet back
    std::optional<int32_t> boardBest_;     // the board's best answer while it is counted
    uint64_t nextId_ = 0;

    // Shared with the worker.
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Job> next_;
    bool quit_ = false;
    std::atomic<uint64_t> stopId_{0};  // the job with this id is to stop
    mutable std::mutex progressMutex_;
    std::optional<SearchProgress> progress_;  // of the running job
    std::thread worker_;
};

}  // namespace lumor
