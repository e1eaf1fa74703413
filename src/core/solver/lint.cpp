#include "solver/lint.h"

#include "levels/cp1252.h"
#include "solver/ideas.h"
#include "solver/levelsearch.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <thread>

namespace lumor {
namespace {

std::string pieceName(int slot) {
    static const char* const names[] = {"",
                                        "Wand",
                                        "Kreuz",
                                        "Umlenker \u250C",
                                        "Umlenker \u2510",
                                        "Umlenker \u2518",
                                        "Umlenker \u2514",
                                        "Sand",
                                        "Teiler"};
    return names[slot];
}

std::string oneDecimal(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", v);
    return buf;
}

// The second half of a pack: the positions after the middle one (1-based).
int secondHalfStart(size_t count) { return static_cast<int>(count / 2) + 1; }

class Checker {
public:
    Checker(const std::vector<LintPack>& packs, const LintRules& rules, LintReport& report)
        : packs_(packs), rules_(rules), report_(report) {}

    void level(const LintLevelReport& r) {
        const LintLevel& l = packs_[r.pack].levels[static_cast<size_t>(r.number - 1)];
        const LevelAnalysis& a = r.analysis;
        const LevelIntent& in = l.intent;
        auto find = [&](const char* rule, std::string text) {
            report_.findings.push_back({r.pack, r.number, rule, std::move(text)});
        };
        if (!a.ok) {
            find("solvable", cp1252::toUtf8(a.message));
            return;
        }
        if (r.gaveUp) return;  // unfinished figures prove nothing
        if (in.any() && l.reason.empty()) find("reason", "die Absicht braucht einen \"Grund\"");
        if (rules_.solvable && a.bareWins) find("bare-board", "das leere Brett gewinnt schon");
        if (!a.solvable()) {
            if (rules_.solvable || l.bestLeft.value_or(-1) >= 0)
                find("solvable", "keine Lösung im Rahmen des Vorrats");
            return;
        }
        if (l.bestLeft && *l.bestLeft != a.bestLeft)
            find("recorded-best", "Bestwert " + std::to_string(*l.bestLeft) +
                                      " steht in der Quelle, die beste Lösung lässt " +
                                      std::to_string(a.bestLeft) + " übrig");
        if (l.solution && a.placements.size() == a.placementCount) {
            Placement mine;
            for (const SourcePiece& p : *l.solution) mine.push_back({p.slot, p.x, p.y});
            mine = sortedPlacement(mine);
            if (std::find(a.placements.begin(), a.placements.end(), mine) == a.placements.end())
                find("recorded-solution", "die Lösung der Quelle ist keine minimale Lösung");
        }
        const int spare = a.allowance - a.fewest;
        if (in.spare != 0 && spare != in.spare)
            find("allowance", "die Absicht sagt Reserve " + std::to_string(in.spare) +
                                  ", der Vorrat erlaubt " + std::to_string(spare) +
                                  " Steine mehr als nötig");
        else if (rules_.exactAllowance && in.spare == 0 && spare > 0)
            find("allowance", "der Vorrat erlaubt " + std::to_string(a.allowance) + " Steine, " +
                                  std::to_string(a.fewest) + " genügen");
        const std::optional<int> most = in.placements ? in.placements : rules_.maxPlacements;
        if (most && a.placementCount > static_cast<uint64_t>(*most))
            find("placements",
                 std::to_string(a.placementCount) + " verschiedene minimale Lösungen, erlaubt " +
                     (*most == 1 ? std::string("ist eine") : "sind " + std::to_string(*most)));
        for (const int slot : in.decoys) {
            if (a.stock[static_cast<size_t>(slot)] == 0)
                find("decoy", "der Köder " + pieceName(slot) + " ist nicht im Vorrat");
            else if (std::find(a.unusedKinds.begin(), a.unusedKinds.end(), slot) ==
                     a.unusedKinds.end())
                find("decoy", "der Köder " + pieceName(slot) + " wird von einer Lösung gebraucht");
        }
        if (rules_.noDecoys)
            for (const int slot : a.unusedKinds)
                if (std::find(in.decoys.begin(), in.decoys.end(), slot) == in.decoys.end())
                    find("decoy", pieceName(slot) +
                                      " ist im Vorrat, keine minimale Lösung "
                                      "braucht ihn");
        if (a.sparesSearched) {
            if (in.spareOpens && a.spareOpened == 0)
                find("spare",
                     "die Absicht sagt \"Reserve öffnet\", doch die Reserve öffnet "
                     "keine neue Lösung");
            else if ((rules_.noOpeningSpares || in.spare != 0) && !in.spareOpens &&
                     a.spareOpened > 0)
                find("spare", "die Reserve öffnet " + std::to_string(a.spareOpened) +
                                  " neue Lösungen, die keine minimale enthalten");
        }
    }

    void pairs(int only) {
        for (size_t pa = 0; pa < packs_.size(); ++pa)
            for (size_t la = 0; la < packs_[pa].levels.size(); ++la)
                for (size_t pb = pa; pb < packs_.size(); ++pb)
                    for (size_t lb = pb == pa ? la + 1 : 0; lb < packs_[pb].levels.size(); ++lb) {
                        const int a = static_cast<int>(la) + 1, b = static_cast<int>(lb) + 1;
                        if (only && a != only && b != only) continue;
                        const int d = boardDistance(packs_[pa].levels[la].record,
                                                    packs_[pb].levels[lb].record);
                        const int limit = rules_.minDistance.value_or(DefaultMinDistance);
                        if (d >= limit) continue;
                        report_.pairs.push_back({pa, pb, a, b, d});
                        if (!rules_.minDistance) continue;
                        const LintLevel& x = packs_[pa].levels[la];
                        const LintLevel& y = packs_[pb].levels[lb];
                        auto declared = [](const LintLevel& from, const LintLevel& to) {
                            const auto& s = from.intent.similarTo;
                            return std::find(s.begin(), s.end(), to.record.Password) != s.end();
                        };
                        if (declared(x, y) || declared(y, x)) continue;
                        report_.findings.push_back({pa, a, "distance",
                                                    "das Brett unterscheidet sich von " +
                                                        levelName(pb, b) + " nur in " +
                                                        std::to_string(d) + " Zellen"});
                    }
        // A declared likeness must name a level that is there and close.
        for (size_t p = 0; p < packs_.size(); ++p)
            for (size_t l = 0; l < packs_[p].levels.size(); ++l) {
                if (only && static_cast<int>(l) + 1 != only) continue;
                for (const std::string& pw : packs_[p].levels[l].intent.similarTo) {
                    bool named = false, close = false;
                    for (size_t q = 0; q < packs_.size(); ++q)
                        for (size_t m = 0; m < packs_[q].levels.size(); ++m)
                            if ((q != p || m != l) && packs_[q].levels[m].record.Password == pw) {
                                named = true;
                                close = close ||
                                        boardDistance(packs_[p].levels[l].record,
                                                      packs_[q].levels[m].record) <
                                            rules_.minDistance.value_or(DefaultMinDistance) ||
                                        sharesIdea(p, l, q, m);
                            }
                    if (!named || !close)
                        report_.findings.push_back(
                            {p, static_cast<int>(l) + 1, "distance",
                             "\"Ähnlich " + cp1252::toUtf8(pw) + "\": " +
                                 (named ? "dieser Level ist nicht nah"
                                        : "kein Level hat dieses Passwort")});
                }
            }
    }

    void passwords(int only) {
        for (size_t p = 0; p < packs_.size(); ++p) {
            const std::vector<LintLevel>& levels = packs_[p].levels;
            for (size_t l = 1; l < levels.size(); ++l) {
                if (only && static_cast<int>(l) + 1 != only) continue;
                const std::string mine = cp1252::toUpper(levels[l].record.Password);
                const auto first = std::find_if(
                    levels.begin(), levels.begin() + static_cast<std::ptrdiff_t>(l),
                    [&](const LintLevel& o) { return cp1252::toUpper(o.record.Password) == mine; });
                if (!mine.empty() && first == levels.begin() + static_cast<std::ptrdiff_t>(l))
                    continue;
                report_.findings.push_back(
                    {p, static_cast<int>(l) + 1, "password",
                     (mine.empty()
                          ? std::string("kein Passwort")
                          : "das Passwort \"" + cp1252::toUtf8(levels[l].record.Password) +
                                "\" hat schon " +
                                levelName(p, static_cast<int>(first - levels.begin()) + 1)) +
                         ": diesen Level erreicht kein Passwort"});
            }
        }
    }

    void trends() {
        report_.trends.resize(packs_.size());
        for (size_t p = 0; p < packs_.size(); ++p) {
            bool asked = false;
            const std::vector<double> figures = risingFigures(p, asked);
            PackTrend& t = report_.trends[p];
            t.counted = static_cast<int>(figures.size());
            t.tau = kendallTau(figures);
            if (rules_.rising && asked && t.counted >= 3 && t.tau < RisingTau)
                report_.findings.push_back(
                    {p, 0, "rising",
                     "die Versuche des Modellspielers steigen nicht im Ganzen: Kendalls Tau " +
                         oneDecimal(t.tau) + ", verlangt sind " + oneDecimal(RisingTau)});
        }
        // "Schwerer als": every level of the second half beats the easier pack's level at
        // the same place, measured as a share of each pack (the last against the last).
        for (size_t p = 0; p < packs_.size(); ++p) {
            const std::string& other = packs_[p].harderThan;
            if (other.empty()) continue;
            const auto easier = std::find_if(packs_.begin(), packs_.end(), [&](const LintPack& q) {
                return cp1252::toUtf8(q.title) == other;
            });
            if (easier == packs_.end()) {
                report_.findings.push_back(
                    {p, 0, "harder", "\"Schwerer als: " + other + "\": dieser Pack fehlt"});
                continue;
            }
            const size_t e = static_cast<size_t>(easier - packs_.begin());
            const size_t n = packs_[p].levels.size(), m = easier->levels.size();
            for (const LintLevelReport& r : report_.levels) {
                // A level whose figures were not finished proves nothing either way.
                if (r.pack != p || r.gaveUp || r.number < secondHalfStart(n) || m == 0) continue;
                const double share = static_cast<double>(r.number) / static_cast<double>(n);
                const int q =
                    std::clamp(static_cast<int>(std::lround(share * static_cast<double>(m))), 1,
                               static_cast<int>(m));
                const auto match = std::find_if(
                    report_.levels.begin(), report_.levels.end(),
                    [&](const LintLevelReport& o) { return o.pack == e && o.number == q; });
                if (match == report_.levels.end() || match->gaveUp ||
                    r.analysis.difficulty > match->analysis.difficulty)
                    continue;
                report_.findings.push_back({p, r.number, "harder",
                                            "Aufwand " + oneDecimal(r.analysis.difficulty) +
                                                ", nicht mehr als " + levelName(e, q) +
                                                " an derselben Stelle von \"" + other + "\" (" +
                                                oneDecimal(match->analysis.difficulty) + ")"});
            }
        }
    }

private:
    // The figures a pack's order must follow (lessons left out): the model player's
    // tries. Where the player has not been asked (the editor's check) the old figure is
    // shown, and the rise is not judged by it.
    std::vector<double> risingFigures(size_t p, bool& asked) const {
        std::vector<double> tries, bits;
        for (const LintLevelReport& r : report_.levels) {
            if (r.pack != p || r.gaveUp ||
                packs_[p].levels[static_cast<size_t>(r.number - 1)].intent.teaching)
                continue;
            // Every level that tired the player out counts as equally hard.
            tries.push_back(
                static_cast<double>(r.player.capped ? DefaultPlayerCap : r.player.tries));
            bits.push_back(r.analysis.difficulty);
        }
        asked = std::all_of(tries.begin(), tries.end(), [](double n) { return n > 0; });
        return asked ? tries : bits;
    }

    // Whether two levels, both measured, share an idea: a likeness may be declared for that.
    bool sharesIdea(size_t p, size_t l, size_t q, size_t m) const {
        auto measured = [&](size_t pack, size_t level) -> const LintLevelReport* {
            for (const LintLevelReport& r : report_.levels)
                if (r.pack == pack && r.number == static_cast<int>(level) + 1) return &r;
            return nullptr;
        };
        const LintLevelReport* a = measured(p, l);
        const LintLevelReport* b = measured(q, m);
        if (!a || !b || !a->analysis.solvable() || !b->analysis.solvable()) return false;
        return sameIdea(levelIdeas(packs_[p].levels[l], a->analysis),
                        levelIdeas(packs_[q].levels[m], b->analysis));
    }

    std::string levelName(size_t pack, int number) const {
        return cp1252::toUtf8(packs_[pack].title) + " " + std::to_string(number) + " \"" +
               cp1252::toUtf8(packs_[pack].levels[static_cast<size_t>(number - 1)].record.Name) +
               "\"";
    }

    const std::vector<LintPack>& packs_;
    const LintRules& rules_;
    LintReport& report_;
};

}  // namespace

LintRules LintRules::strict() {
    LintRules r;
    r.solvable = r.exactAllowance = r.noDecoys = r.noOpeningSpares = r.rising = true;
    r.ownPasswords = r.noIdeaRepeats = true;
    r.maxPlacements = DefaultMaxPlacements;
    r.minDistance = DefaultMinDistance;
    return r;
}

double kendallTau(const std::vector<double>& figures) {
    const size_t n = figures.size();
    if (n < 2) return 0;
    long long balance = 0;
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 1; j < n; ++j)
            balance += (figures[j] > figures[i]) - (figures[j] < figures[i]);
    const double pairs = static_cast<double>(n) * static_cast<double>(n - 1) / 2;
    return static_cast<double>(balance) / pairs;
}

LintReport lintPacks(const std::vector<LintPack>& packs, const LintRules& rules, int only,
                     int threads, double secondsPerLevel) {
    LintReport report;
    for (size_t p = 0; p < packs.size(); ++p)
        for (size_t l = 0; l < packs[p].levels.size(); ++l)
            if (!only || static_cast<int>(l) + 1 == only)
                report.levels.push_back({p, static_cast<int>(l) + 1, {}, {}});

    // The hardest levels take the longest: each thread takes the next level left.
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i; (i = next.fetch_add(1)) < report.levels.size();) {
            LintLevelReport& r = report.levels[i];
            const LevelRecord& level =
                packs[r.pack].levels[static_cast<size_t>(r.number - 1)].record;
            const auto start = std::chrono::steady_clock::now();
            const std::unique_ptr<LevelSearch> search = makeSearch(SearchMode::Analysis);
            search->load(level);
            search->run([&] {
                return secondsPerLevel > 0 &&
                       std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
                               .count() >= secondsPerLevel;
            });
            r.analysis = search->result().analysis;
            r.gaveUp = r.analysis.stopped;
            if (r.analysis.ok && r.analysis.solvable() && !r.gaveUp)
                r.player = modelPlayerTries(level);
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) pool.emplace_back(work);
    work();
    for (std::thread& t : pool) t.join();

    return lintMeasured(packs, rules, std::move(report.levels), only, !only);
}

LintReport lintMeasured(const std::vector<LintPack>& packs, const LintRules& rules,
                        std::vector<LintLevelReport> levels, int only, bool trends) {
    LintReport report;
    report.levels = std::move(levels);
    Checker check(packs, rules, report);
    for (const LintLevelReport& r : report.levels) check.level(r);
    check.pairs(only);
    if (rules.ownPasswords) check.passwords(only);
    lintIdeas(packs, rules, only, report);
    if (trends) check.trends();
    std::stable_sort(report.findings.begin(), report.findings.end(),
                     [](const LintFinding& a, const LintFinding& b) {
                         return a.pack != b.pack ? a.pack < b.pack : a.level < b.level;
                     });
    return report;
}

}  // namespace lumor
