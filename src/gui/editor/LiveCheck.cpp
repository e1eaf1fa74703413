#include "editor/LiveCheck.h"

#include <QMetaObject>

namespace lumor {

LiveCheck::LiveCheck(QObject* parent) : QObject(parent) {}

LiveCheck::~LiveCheck() { cancel(); }

// The search asks every few hundred steps whether to stop, so a cancelled check ends
// within a fraction of a millisecond and the join below does not hold up the window.
void LiveCheck::cancel() {
    if (cancelled_) cancelled_->store(true);
    if (worker_.joinable()) worker_.join();
}

void LiveCheck::check(const LevelRecord& level) {
    cancel();
    const uint64_t id = ++id_;
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    cancelled_ = cancelled;
    busy_ = true;
    result_.reset();
    if (onChange) onChange();
    worker_ = std::thread([this, level, id, cancelled] {
        AnalysisOptions options;
        options.spares = false;      // only the fewest pieces and the minimal placements
        options.keepPlacements = 1;  // one of them to show
        LevelAnalysis analysis = analyseLevel(level, options, [&] { return cancelled->load(); });
        if (cancelled->load()) return;
        QMetaObject::invokeMethod(
            this, [this, id, a = std::move(analysis)]() mutable { finish(id, std::move(a)); },
            Qt::QueuedConnection);
    });
}

void LiveCheck::finish(uint64_t id, LevelAnalysis analysis) {
    if (id != id_) return;  // a newer change is being checked
    busy_ = false;
    result_ = std::move(analysis);
    if (onChange) onChange();
}

QString LiveCheck::text() const {
    if (busy_) return QStringLiteral("prüft \u2026");
    if (!result_ || !result_->ok || !result_->solvable()) return QStringLiteral("nicht lösbar");
    const int left = result_->bestLeft;
    const uint64_t ways = result_->placementCount;
    return QStringLiteral("lösbar, %1 %2 übrig, %3 %4")
        .arg(left)
        .arg(left == 1 ? QStringLiteral("Stein") : QStringLiteral("Steine"))
        .arg(ways)
        .arg(ways == 1 ? QStringLiteral("Lösung") : QStringLiteral("Lösungen"));
}

}  // namespace lumor
