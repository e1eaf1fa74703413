#include "editor/LiveCheck.h"

#include "app/Text.h"
#include "app/Wait.h"

#include <QMetaObject>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>

namespace lumor {

namespace {

// Answers kept for undo, redo and going back; each holds at most ShownPlacements.
constexpr size_t RememberedAnswers = 400;

}  // namespace

LevelAnalysis analyseForEditor(const LevelRecord& level, bool whole, int fromPieces,
                               const std::function<bool()>& stop, const SearchReport& progress) {
    SearchOptions options;
    options.analysis.fromPieces = fromPieces;
    if (!whole) {
        options.analysis.spares = false;  // the fewest pieces and the minimal placements only
        options.analysis.keepPlacements = LiveCheck::ShownPlacements;
    }
    const std::unique_ptr<LevelSearch> search = makeSearch(SearchMode::Analysis, options);
    search->load(level);  // a refused level's analysis says why
    search->run([&] {
        if (progress) progress(search->progress());
        return stop && stop();
    });
    return search->result().analysis;
}

LiveCheck::LiveCheck(QObject* parent, Clock& clock, LevelAnalyser analyser)
    : QObject(parent), clock_(clock), analyser_(std::move(analyser)), ticker_(new QTimer(this)) {
    ticker_->setInterval(1000);
    connect(ticker_, &QTimer::timeout, this, [this] {
        if (onChange) onChange();
    });
    worker_ = std::thread([this] { work(); });
}

LiveCheck::~LiveCheck() {
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
        next_.reset();
    }
    stopId_ = ~uint64_t{0};  // whatever runs stops at its next poll
    wake_.notify_one();
    worker_.join();
}

std::string LiveCheck::keyOf(const LevelRecord& level) {
    std::string key(reinterpret_cast<const char*>(level.Cells.data()), sizeof level.Cells);
    key.append(reinterpret_cast<const char*>(level.Stock.data()), sizeof level.Stock);
    return key;
}

const LiveCheck::Answer* LiveCheck::find(const std::string& key) const {
    const auto it = answers_.find(key);
    return it == answers_.end() ? nullptr : &it->second;
}

void LiveCheck::check(const LevelRecord& level) {
    std::string key = keyOf(level);
    if (key == boardKey_) return;
    boardKey_ = std::move(key);
    boardBest_.reset();
    board_ = level;
    boardSince_ = clock_.nowMs();
    schedule();
    if (onChange) onChange();
}

void LiveCheck::setPack(const std::vector<LevelRecord>& levels) {
    pack_.clear();
    for (const LevelRecord& l : levels) pack_.emplace_back(keyOf(l), l);
    schedule();
}

void LiveCheck::cancel() {
    if (!busy()) return;
    cancelled_.insert(boardKey_);
    schedule();
    if (onChange) onChange();
    if (onMeasured) onMeasured();
}

bool LiveCheck::busy() const {
    return !boardKey_.empty() && !find(boardKey_) && !cancelled_.count(boardKey_);
}

const LevelAnalysis* LiveCheck::result() const {
    const Answer* a = find(boardKey_);
    return a ? &a->analysis : nullptr;
}

const LevelAnalysis* LiveCheck::measured(const LevelRecord& level) const {
    const Answer* a = find(keyOf(level));
    return a && a->whole ? &a->analysis : nullptr;
}

bool LiveCheck::gaveUp(const LevelRecord& level) const {
    const std::string key = keyOf(level);
    return tooLong_.count(key) > 0 || cancelled_.count(key) > 0;
}

// The next work: the board's level first, then each level of the pack not measured whole.
std::optional<LiveCheck::Job> LiveCheck::wanted() const {
    if (busy()) return Job{0, boardKey_, board_, false};
    for (const auto& [key, level] : pack_) {
        const Answer* a = find(key);
        if ((!a || !a->whole) && !tooLong_.count(key) && !cancelled_.count(key))
            return Job{0, key, level, true};
    }
    return std::nullopt;
}

void LiveCheck::schedule() {
    if (busy())
        ticker_->start();
    else
        ticker_->stop();
    const std::optional<Job> job = wanted();
    if (running_) {
        // A job on the wanted level goes on (a whole one answers the board too); any other
        // is stopped, and its end schedules again.
        if (!job || job->key != running_->key) stopId_ = running_->id;
        return;
    }
    if (!job) return;
    running_ = *job;
    running_->id = ++nextId_;
    {
        const std::lock_guard lock(mutex_);
        next_ = running_;
    }
    wake_.notify_one();
}

void LiveCheck::work() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return quit_ || next_; });
            if (quit_) return;
            job = std::move(*next_);
            next_.reset();
        }
        using Steady = std::chrono::steady_clock;
        const Steady::time_point deadline =
            Steady::now() + std::chrono::milliseconds(MeasureBudgetMs);
        bool overBudget = false;
        const auto stop = [&] {
            if (stopId_.load() == job.id || stopId_.load() == ~uint64_t{0}) return true;
            overBudget = job.whole && Steady::now() >= deadline;
            return overBudget;
        };
        const auto report = [this](const SearchProgress& p) {
            const std::lock_guard lock(progressMutex_);
            progress_ = p;
        };
        int fromPieces = 0;
        if (!job.whole) {
            // The best answer first: the fewest pieces come far sooner than every way to
            // place them, and the count then starts at the fewest.
            SearchOptions onAllCores;
            onAllCores.threads = waitingThreads();
            const std::unique_ptr<LevelSearch> best = makeSearch(SearchMode::Best, onAllCores);
            if (best->load(job.level)) {
                best->run([&] {
                    report(best->progress());
                    return stop();
                });
                {
                    const std::lock_guard lock(progressMutex_);
                    progress_.reset();
                }
                if (best->result().finished) {
                    const int left = best->result().bestLeft;
                    fromPieces = left >= 0 ? job.level.Stock[0] - left : job.level.Stock[0] + 1;
                    QMetaObject::invokeMethod(
                        this,
                        [this, id = job.id, left = best->result().bestLeft] {
                            bestFound(id, left);
                        },
                        Qt::QueuedConnection);
                }
            }
        }
        LevelAnalysis analysis = analyser_(job.level, job.whole, fromPieces, stop, report);
        {
            const std::lock_guard lock(progressMutex_);
            progress_.reset();
        }
        // A whole answer stands even when a stop came too late to matter.
        const bool stopped = analysis.stopped;
        overBudget = overBudget && stopped;
        QMetaObject::invokeMethod(
            this,
            [this, id = job.id, a = std::move(analysis), stopped, overBudget]() mutable {
                finished(id, std::move(a), stopped, overBudget);
            },
            Qt::QueuedConnection);
    }
}

void LiveCheck::finished(uint64_t id, LevelAnalysis analysis, bool stopped, bool overBudget) {
    if (!running_ || running_->id != id) return;
    const Job job = std::move(*running_);
    running_.reset();
    if (overBudget) {
        tooLong_.insert(job.key);
        if (onMeasured) onMeasured();
    } else if (!stopped) {
        const bool board = job.key == boardKey_ && !find(job.key);
        // Spare pieces are searched only above the fewest that win: where there are none,
        // or nothing wins, the quick answer is the whole one and is not made twice.
        const bool whole = job.whole || !analysis.ok || !analysis.solvable() ||
                           analysis.fewest >= analysis.allowance;
        if (whole && !job.whole)
            analysis.sparesSearched = analysis.placements.size() == analysis.placementCount;
        remember(job.key, {std::move(analysis), whole});
        if (board && onChange) onChange();
        if (whole && onMeasured) onMeasured();
    }
    schedule();
}

void LiveCheck::bestFound(uint64_t id, int32_t bestLeft) {
    if (!running_ || running_->id != id || running_->key != boardKey_ || find(boardKey_)) return;
    boardBest_ = bestLeft;
    if (onChange) onChange();
}

void LiveCheck::remember(const std::string& key, Answer answer) {
    if (answer.analysis.placements.size() > ShownPlacements)
        answer.analysis.placements.resize(ShownPlacements);
    const auto [it, added] = answers_.insert_or_assign(key, std::move(answer));
    if (added) answerOrder_.push_back(key);
    // The oldest answers go first, but never the board's nor a level of the pack.
    for (size_t i = 0; answers_.size() > RememberedAnswers && i < answerOrder_.size();) {
        const std::string& old = answerOrder_[i];
        const bool inUse =
            old == boardKey_ ||
            std::any_of(pack_.begin(), pack_.end(), [&](const auto& p) { return p.first == old; });
        if (inUse) {
            ++i;
            continue;
        }
        answers_.erase(old);
        answerOrder_.erase(answerOrder_.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

// How far the board's check is: the piece count searched, its share and the time left.
QString LiveCheck::progressText() const {
    const std::lock_guard lock(progressMutex_);
    if (!running_ || running_->key != boardKey_ || !progress_ || progress_->share <= 0) return {};
    QString text = QStringLiteral(" (Stufe %1 von %2: %3 %")
                       .arg(progress_->pass)
                       .arg(progress_->lastPass)
                       .arg(static_cast<int>(progress_->share * 100));
    if (progress_->secondsLeft >= 0)
        text += QStringLiteral(", diese Stufe noch etwa %1 s")
                    .arg(std::llround(progress_->secondsLeft));
    return text + QStringLiteral(")");
}

QString LiveCheck::text() const {
    if (cancelled_.count(boardKey_) && !find(boardKey_))
        return QStringLiteral("Prüfung abgebrochen");
    const LevelAnalysis* r = result();
    if (!r) {
        QString text;
        if (!boardBest_)
            text = QStringLiteral("prüft \u2026");
        else if (*boardBest_ < 0)
            text = QStringLiteral("nicht lösbar, prüft \u2026");
        else
            text = QStringLiteral("lösbar, %1 %2 übrig, Lösungen werden gezählt \u2026")
                       .arg(*boardBest_)
                       .arg(*boardBest_ == 1 ? QStringLiteral("Stein") : QStringLiteral("Steine"));
        const int64_t seconds = (clock_.nowMs() - boardSince_) / 1000;
        if (seconds >= 1) text += QStringLiteral(" %1 s").arg(seconds) + progressText();
        return text;
    }
    if (!r->ok) return toQt(r->message);
    if (!r->solvable()) return QStringLiteral("nicht lösbar");
    const int left = r->bestLeft;
    const uint64_t ways = r->placementCount;
    return QStringLiteral("lösbar, %1 %2 übrig, %3 %4")
        .arg(left)
        .arg(left == 1 ? QStringLiteral("Stein") : QStringLiteral("Steine"))
        .arg(ways)
        .arg(ways == 1 ? QStringLiteral("Lösung") : QStringLiteral("Lösungen"));
}

}  // namespace lumor
