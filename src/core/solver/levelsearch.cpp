#include "solver/levelsearch.h"

#include "play/cells.h"
#include "solver/earliersearch.h"
#include "solver/exactsearch.h"
#include "solver/fastsearch.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace lumor {

namespace {

// Pieces of the stock; more than the finder's piece list holds is refused by every search.
int stockPieces(const LevelRecord& level) {
    int pieces = 0;
    for (int slot = 1; slot <= SlotCount; ++slot) pieces += std::max<int>(0, level.Stock[slot]);
    return pieces;
}

double shareOf(const Count& part, const Count& whole) {
    if (whole.isZero()) return -1;
    if (part.isZero()) return 0;
    return std::clamp(std::exp2(part.log2() - whole.log2()), 0.0, 1.0);
}

class ExactLevelSearch final : public LevelSearch {
public:
    ExactLevelSearch(int threads) : LevelSearch(SearchMode::Exact), threads_(threads) {}
    bool load(const LevelRecord& level) override { return loadWith(search_, level); }
    void setThreads(int threads) override { threads_ = std::max(1, threads); }
    void run(const std::function<bool()>& poll) override {
        search_.run(poll, threads_);
        result_.finished = search_.finished();
        if (!result_.finished) return;
        result_.bestLeft = search_.bestLeft();
        result_.best = search_.bestArrangement();
        result_.tried = search_.triedCount();
        result_.checked = search_.checkedCount();
        result_.solutions = search_.solutionCount();
        result_.beamRuns = search_.workRuns();
    }

protected:
    SearchProgress workProgress() const override {
        SearchProgress p;
        p.bestLeft = search_.bestLeftSoFar();
        p.tries = static_cast<uint64_t>(search_.workTries());
        p.runs = static_cast<uint64_t>(search_.workRuns());
        p.pass = search_.pass();
        p.lastPass = search_.lastPass();
        p.share = search_.walked();
        return p;
    }

private:
    ExactSearch search_;
    int threads_;
};

class EarlierLevelSearch final : public LevelSearch {
public:
    EarlierLevelSearch() : LevelSearch(SearchMode::Earlier) {}
    bool load(const LevelRecord& level) override { return loadWith(search_, level); }
    void run(const std::function<bool()>& poll) override {
        search_.onBest = [this] {
            if (onBest) onBest();
        };
        search_.run(poll);
        result_.finished = search_.finished();
        if (!result_.finished) return;
        result_.bestLeft = search_.bestLeft();
        result_.best = search_.bestArrangement();
        result_.tried = search_.triedCount();
        result_.total = search_.total();
        result_.checked = static_cast<uint64_t>(search_.checkedCount());
        result_.beamRuns = search_.checkedCount();
    }
    const std::vector<Piece>& bestSoFar() const override { return search_.bestArrangement(); }

protected:
    SearchProgress workProgress() const override {
        SearchProgress p;
        p.bestLeft = search_.bestLeft();
        p.tries = search_.triedCount();
        p.runs = static_cast<uint64_t>(search_.checkedCount());
        p.total = search_.total();
        p.share = shareOf(p.tries, search_.total());
        return p;
    }

private:
    EarlierSearch search_;
};

class LiteralLevelSearch final : public LevelSearch {
public:
    LiteralLevelSearch() : LevelSearch(SearchMode::Literal) {}
    bool load(const LevelRecord& level) override { return loadWith(search_, level); }
    void run(const std::function<bool()>& poll) override {
        // The progress hook runs every few thousand tries.
        search_.setDisplayInterval(0);
        search_.setProgressHook([&] {
            if (poll && poll()) search_.abort();
        });
        search_.run();
        search_.setProgressHook({});
        result_.finished = search_.finished();
        if (!result_.finished) return;
        result_.bestLeft = search_.bestLeft();
        result_.best = search_.bestArrangement();
        result_.tried = static_cast<uint64_t>(search_.triedCount());
        result_.checked = static_cast<uint64_t>(search_.checkedCount());
        result_.solutions = static_cast<uint64_t>(search_.solutionCount());
        result_.beamRuns = search_.checkedCount();
    }

protected:
    SearchProgress workProgress() const override {
        SearchProgress p;
        p.bestLeft = search_.bestLeft();
        p.tries = static_cast<uint64_t>(search_.triedCount());
        p.runs = static_cast<uint64_t>(search_.checkedCount());
        return p;
    }

private:
    SolutionSearch search_;
};

// The searches over cores by rising piece counts: the pass and its share walked come
// from the core search's progress callback.
class PassesSearch : public LevelSearch {
public:
    using LevelSearch::LevelSearch;
    bool load(const LevelRecord& level) override {
        result_ = {};
        level_ = level;
        const int pieces = stockPieces(level);
        loaded_ = pieces <= SolutionSearch::MaxPieces;
        loadMessage_ = loaded_ ? std::string() : tooManyPiecesMessage(pieces);
        int free = 0;
        for (const int16_t c : level.Cells) free += c == Empty;
        lastPass_ = std::max(0, std::min({int(level.Stock[0]), pieces, free}));
        pass_ = 0;
        share_ = -1;
        return loaded_;
    }

protected:
    void passed(int pass, double share) {
        pass_ = pass;
        share_ = share;
    }
    SearchProgress workProgress() const override {
        SearchProgress p;
        p.pass = pass_;
        p.lastPass = lastPass_;
        p.share = share_;
        return p;
    }
    LevelRecord level_;
    bool loaded_ = false;

private:
    int pass_ = 0, lastPass_ = 0;
    double share_ = -1;
};

class BestLevelSearch final : public PassesSearch {
public:
    explicit BestLevelSearch(int threads) : PassesSearch(SearchMode::Best), threads_(threads) {}
    void setThreads(int threads) override { threads_ = std::max(1, threads); }
    void run(const std::function<bool()>& poll) override {
        if (!loaded_) return;
        const FastResult r = fastSolve(
            level_, true, poll, [this](int pass, double share) { passed(pass, share); }, threads_);
        result_.finished = !r.gaveUp;
        result_.bestLeft = r.bestLeft;
        result_.best = r.best;
        result_.beamRuns = r.beamRuns;
    }

private:
    int threads_;
};

class AnalysisLevelSearch final : public PassesSearch {
public:
    explicit AnalysisLevelSearch(AnalysisOptions options)
        : PassesSearch(SearchMode::Analysis), options_(std::move(options)) {}
    // A refused level is analysed too: the analysis says why, with the stock and cells.
    void run(const std::function<bool()>& poll) override {
        AnalysisOptions options = options_;
        options.onProgress = [this](int pass, double share) { passed(pass, share); };
        result_.analysis = analyseLevel(level_, options, poll);
        const LevelAnalysis& a = result_.analysis;
        result_.finished = a.ok && !a.stopped;
        result_.best.clear();
        if (!result_.finished) return;  // what the analysis holds is not complete
        result_.bestLeft = a.bestLeft;
        if (!a.placements.empty())
            for (const int slot : PieceSlotOrder)
                for (const PlacedPiece& p : a.placements.front())
                    if (p.slot == slot) result_.best.push_back({p.slot, p.x, p.y});
    }

private:
    AnalysisOptions options_;
};

}  // namespace

SearchProgress LevelSearch::progress() const {
    SearchProgress p = workProgress();
    // The estimate: the pass's time so far, scaled by what is left of it.
    const Steady::time_point now = Steady::now();
    if (p.pass != timedPass_) {
        timedPass_ = p.pass;
        passStart_ = now;
    }
    const double seconds = std::chrono::duration<double>(now - passStart_).count();
    if (p.share > 0.005 && p.share < 1 && seconds >= 0.5)
        p.secondsLeft = seconds * (1 - p.share) / p.share;
    return p;
}

std::unique_ptr<LevelSearch> makeSearch(SearchMode mode, const SearchOptions& options,
                                        const EditionRules& rules) {
    if (mode == SearchMode::Finder)
        mode = rules.olderFinder ? SearchMode::Earlier : SearchMode::Exact;
    switch (mode) {
        case SearchMode::Earlier:
            return std::make_unique<EarlierLevelSearch>();
        case SearchMode::Literal:
            return std::make_unique<LiteralLevelSearch>();
        case SearchMode::Best:
            return std::make_unique<BestLevelSearch>(std::max(1, options.threads));
        case SearchMode::Analysis:
            return std::make_unique<AnalysisLevelSearch>(options.analysis);
        case SearchMode::Finder:
        case SearchMode::Exact:
            break;
    }
    return std::make_unique<ExactLevelSearch>(std::max(1, options.threads));
}

int waitingThreads() {
    return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 8);
}

}  // namespace lumor
