#include "generator/generator.h"

#include "app/random.h"
#include "play/cells.h"
#include "solver/beamcheck.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <set>

namespace lumor {
namespace {

class Dice {
public:
    explicit Dice(uint64_t seed) : random_(seed) {}
    int below(int n) { return n <= 1 ? 0 : static_cast<int>(random_.next() * n); }
    bool chance(double p) { return random_.next() < p; }
    template <class T>
    const T& pick(const std::vector<T>& v) {
        return v[static_cast<size_t>(below(static_cast<int>(v.size())))];
    }
    template <class T>
    void shuffle(std::vector<T>& v) {
        for (size_t i = v.size(); i > 1; --i)
            std::swap(v[i - 1], v[static_cast<size_t>(below(static_cast<int>(i)))]);
    }

private:
    SeededRandom random_;
};

bool inside(int x, int y) { return x >= 1 && x < BoardWidth - 1 && y >= 1 && y < BoardHeight - 1; }

// The two deflectors that turn a beam arriving in a direction (rather than stop it).
std::array<int, 2> turningDeflectors(int dir) {
    switch (dir) {
        case Right:
            return {DeflectorLeftDown, DeflectorLeftUp};
        case Down:
            return {DeflectorLeftUp, DeflectorRightUp};
        case Left:
            return {DeflectorRightDown, DeflectorRightUp};
        default:
            return {DeflectorRightDown, DeflectorLeftDown};
    }
}

int slotOf(Mechanic m) {
    switch (m) {
        case Mechanic::Splitter:
            return 8;
        case Mechanic::Sand:
            return 7;
        case Mechanic::Cross:
            return 2;
        case Mechanic::Wall:
            return 1;
        case Mechanic::Deflector:
            break;
    }
    return 3;
}

void styleBoard(LevelRecord& level, BoardStyle style, Dice& dice) {
    level.Cells.fill(Empty);
    for (int x = 0; x < BoardWidth; ++x) level.cell(x, 0) = level.cell(x, BoardHeight - 1) = Wall;
    for (int y = 0; y < BoardHeight; ++y) level.cell(0, y) = level.cell(BoardWidth - 1, y) = Wall;
    if (style == BoardStyle::Walled) {
        const int bars = 8 + dice.below(8);
        for (int b = 0; b < bars; ++b) {
            int x = 1 + dice.below(BoardWidth - 2), y = 1 + dice.below(BoardHeight - 2);
            const bool across = dice.chance(0.5);
            for (int n = 1 + dice.below(4); n > 0 && inside(x, y); --n) {
                level.cell(x, y) = Wall;
                (across ? x : y) += 1;
            }
        }
    } else if (style == BoardStyle::Corridors) {
        // A maze on every second cell, then a third of its inner walls knocked out so that
        // the corridors leave choices.
        for (int y = 1; y < BoardHeight - 1; ++y)
            for (int x = 1; x < BoardWidth - 1; ++x) level.cell(x, y) = Wall;
        std::vector<std::pair<int, int>> stack{{1, 1}};
        level.cell(1, 1) = Empty;
        while (!stack.empty()) {
            const auto [x, y] = stack.back();
            std::vector<std::pair<int, int>> next;
            for (const auto& [dx, dy] : {std::pair{2, 0}, {-2, 0}, {0, 2}, {0, -2}})
                if (inside(x + dx, y + dy) && level.cell(x + dx, y + dy) == Wall)
                    next.emplace_back(dx, dy);
            if (next.empty()) {
                stack.pop_back();
                continue;
            }
            const auto [dx, dy] = dice.pick(next);
            level.cell(x + dx / 2, y + dy / 2) = level.cell(x + dx, y + dy) = Empty;
            stack.emplace_back(x + dx, y + dy);
        }
        for (int y = 1; y < BoardHeight - 1; ++y)
            for (int x = 1; x < BoardWidth - 1; ++x)
                if (level.cell(x, y) == Wall && dice.chance(0.35)) level.cell(x, y) = Empty;
    }
}

std::vector<std::pair<int, int>> emptyCells(const LevelRecord& level) {
    std::vector<std::pair<int, int>> out;
    for (int y = 1; y < BoardHeight - 1; ++y)
        for (int x = 1; x < BoardWidth - 1; ++x)
            if (level.cell(x, y) == Empty) out.emplace_back(x, y);
    return out;
}

// A source with at least two free cells in front of it; false when none was found.
bool addSource(LevelRecord& level, Dice& dice) {
    const std::vector<std::pair<int, int>> cells = emptyCells(level);
    for (int tries = 0; tries < 50 && !cells.empty(); ++tries) {
        const auto [x, y] = dice.pick(cells);
        const int dir = 1 + dice.below(4);
        const int ax = x + stepX(dir), ay = y + stepY(dir);
        const int bx = ax + stepX(dir), by = ay + stepY(dir);
        if (!inside(ax, ay) || !inside(bx, by) || level.cell(ax, ay) != Empty ||
            level.cell(bx, by) != Empty)
            continue;
        level.cell(x, y) = static_cast<int16_t>(dir);
        return true;
    }
    return false;
}

class Builder {
public:
    static constexpr int PlacingsPerBoard = 4;

    Builder(const GeneratorOptions& options, Dice& dice) : options_(options), dice_(dice) {}

    // One attempt: a board with its intended placement, or false.
    bool build(LevelRecord& level, Placement& solution) {
        styleBoard(level, options_.style, dice_);
        const int pieces = options_.pieces > 0 ? options_.pieces : piecesFor(options_.difficulty);
        const std::vector<Mechanic> allowed = options_.mechanics.empty()
                                                  ? std::vector<Mechanic>{Mechanic::Deflector}
                                                  : options_.mechanics;
        std::vector<Mechanic> kinds = allowed;
        kinds.resize(std::min<size_t>(kinds.size(), static_cast<size_t>(pieces)));
        while (static_cast<int>(kinds.size()) < pieces) {
            // Beyond one of each, mostly deflectors: they carry a route; at most two splitters.
            Mechanic m = dice_.pick(allowed);
            if (dice_.chance(0.5) ||
                (m == Mechanic::Splitter &&
                 std::count(kinds.begin(), kinds.end(), Mechanic::Splitter) >= 2))
                m = Mechanic::Deflector;
            kinds.push_back(m);
        }
        dice_.shuffle(kinds);
        // The routes first, then what acts on them: sand and crosses need crossings to
        // matter, and those come with the routes.
        std::stable_partition(kinds.begin(), kinds.end(), [](Mechanic m) {
            return m == Mechanic::Deflector || m == Mechanic::Splitter;
        });
        const bool splits =
            std::find(kinds.begin(), kinds.end(), Mechanic::Splitter) != kinds.end();
        // Sand decides races, a cross lets beams cross, a wall stops a beam that would
        // cut another: each needs two beams to matter.
        const bool races = std::any_of(kinds.begin(), kinds.end(), [](Mechanic m) {
            return m == Mechanic::Sand || m == Mechanic::Cross || m == Mechanic::Wall;
        });
        const int sources = races                          ? 2 + dice_.below(2)
                            : splits && !dice_.chance(0.3) ? 1
                                                           : 1 + dice_.below(2);
        for (int s = 0; s < sources; ++s)
            if (!addSource(level, dice_)) return false;
        if (options_.fixedElements) {
            static const std::vector<int> fixed = {Splitter,           Cross,
                                                   DeflectorRightDown, DeflectorLeftDown,
                                                   DeflectorLeftUp,    DeflectorRightUp};
            const std::vector<std::pair<int, int>> cells = emptyCells(level);
            for (int n = 1 + dice_.below(2); n > 0 && !cells.empty(); --n) {
                const auto [x, y] = dice_.pick(cells);
                level.cell(x, y) = static_cast<int16_t>(dice_.pick(fixed));
            }
        }

        // Pieces are cheap to try again on the same board: a turn or a grain that turns out
        // not to matter is placed anew before the board is given up.
        const LevelRecord board = level;
        for (int t = 0; t < PlacingsPerBoard; ++t) {
            level = board;
            solution.clear();
            if (placePieces(level, solution, kinds, splits)) return true;
        }
        return false;
    }

    // The pieces along the beams, then the targets where the beams end; false when a piece
    // could not be placed, no beam scores or a piece is not needed.
    bool placePieces(LevelRecord& level, Placement& solution, const std::vector<Mechanic>& kinds,
                     bool splits) {
        BeamChecker checker;
        checker.setBoard(level.Cells);
        int lastIndex = -1;
        const bool sanded = std::find(kinds.begin(), kinds.end(), Mechanic::Sand) != kinds.end();
        const auto routes = std::count_if(kinds.begin(), kinds.end(), [](Mechanic m) {
            return m == Mechanic::Deflector || m == Mechanic::Splitter;
        });
        for (size_t k = 0; k < kinds.size(); ++k) {
            const Mechanic m = kinds[k];
            checker.runMarking();
            const std::vector<int16_t> order = checker.enteredOrder();
            std::vector<int> candidates;
            // Routes grow along the beams; what acts on them may stand anywhere on them.
            const bool routing = m == Mechanic::Deflector || m == Mechanic::Splitter;
            for (int i = routing ? lastIndex + 1 : 0; i < static_cast<int>(order.size()); ++i) {
                const int p = order[static_cast<size_t>(i)];
                const int x = BeamChecker::padX(p), y = BeamChecker::padY(p);
                if (inside(x, y) && level.cell(x, y) == Empty && checker.codeAt(p) == Empty)
                    candidates.push_back(i);
            }
            if (candidates.empty()) return false;
            int i = dice_.pick(candidates);
            int code = codeOfSlot(slotOf(m));
            if (m == Mechanic::Deflector)
                code = turningDeflectors(
                    checker
                        .enteredDir()[static_cast<size_t>(i)])[static_cast<size_t>(dice_.below(2))];
            if (routing && sanded && static_cast<long>(k) + 1 == routes) {
                // The last route decides whether any grain can matter: among a few tries,
                // one whose beams meet so that a grain changes who goes on.
                for (int t = 0; t < 8; ++t) {
                    const int j = dice_.pick(candidates);
                    const int c = m == Mechanic::Deflector
                                      ? turningDeflectors(checker.enteredDir()[static_cast<size_t>(
                                            j)])[static_cast<size_t>(dice_.below(2))]
                                      : code;
                    if (sandMatters(level, checker, order[static_cast<size_t>(j)], c)) {
                        i = j;
                        code = c;
                        break;
                    }
                }
            } else if (m == Mechanic::Sand) {
                // A grain on a source's straight run only says "this beam starts later":
                // where it goes and how many answer themselves. Grains go where they
                // change which beam goes on, off those runs where the routes allow it.
                std::vector<int> changing = placeOfItsOwn(
                    checker,
                    changingCells(checker, awayFromSources(level, checker, candidates), code));
                // Without a splitter the beams meet only where the sources' runs lead, and
                // a source's run may be the one place left.
                if (changing.empty() && !splits)
                    changing = placeOfItsOwn(checker, changingCells(checker, candidates, code));
                // Else a grain whose effect shows only with the targets in place.
                if (changing.empty()) changing = awayFromSources(level, checker, candidates);
                if (!changing.empty()) i = dice_.pick(changing);
            } else if (m != Mechanic::Splitter) {
                // Crosses and walls matter only where they change which beams go on (a
                // crossing): such cells are preferred.
                const std::vector<int> changing = changingCells(checker, candidates, code);
                if (!changing.empty()) i = dice_.pick(changing);
            }
            const int p = order[static_cast<size_t>(i)];
            checker.place(p, code);
            solution.push_back({slotOfCode(code), BeamChecker::padX(p), BeamChecker::padY(p)});
            // The piece keeps its place in the entry order: what came before it is unchanged.
            lastIndex = std::max(lastIndex, i);
        }
        solution = sortedPlacement(solution);

        // Targets where the surviving beams end: in the last cell before what stopped them.
        checker.runMarking();
        std::set<int> pieceCells;
        for (const PlacedPiece& piece : solution) {
            pieceCells.insert(BeamChecker::pad(piece.x, piece.y));
            if (!checker.entered(BeamChecker::pad(piece.x, piece.y))) return false;
        }
        std::vector<std::pair<int, int>> targets;  // (cell, code)
        const std::vector<int16_t> order = checker.enteredOrder();
        for (size_t i = 0; i < order.size(); ++i) {
            const int p = order[i];
            const int x = BeamChecker::padX(p), y = BeamChecker::padY(p);
            const bool onBoard = x >= 0 && x < BoardWidth && y >= 0 && y < BoardHeight;
            if (onBoard && level.cell(x, y) != Wall) continue;
            const int dir = checker.enteredDir()[i];
            const int tx = x - stepX(dir), ty = y - stepY(dir);
            if (!inside(tx, ty) || level.cell(tx, ty) != Empty ||
                pieceCells.count(BeamChecker::pad(tx, ty)))
                continue;
            targets.emplace_back(BeamChecker::pad(tx, ty), 4 + dir);
        }
        if (targets.empty()) return false;
        for (const auto& [p, code] : targets)
            level.cell(BeamChecker::padX(p), BeamChecker::padY(p)) = static_cast<int16_t>(code);
        level.Stock.fill(0);
        level.Stock[0] = static_cast<int16_t>(solution.size());
        for (const PlacedPiece& piece : solution) ++level.Stock[static_cast<size_t>(piece.slot)];
        if (!wins(level, solution)) return false;
        decorateFrame(level, solution);
        // Each piece must be needed: without it the rest must lose. A cheap test that
        // saves the exact analysis most attempts.
        for (size_t k = 0; k < solution.size(); ++k) {
            Placement rest = solution;
            rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(k));
            if (wins(level, rest)) return false;
        }
        return true;
    }

    static bool wins(const LevelRecord& level, const Placement& placement) {
        BeamChecker checker;
        checker.setBoard(level.Cells);
        for (const PlacedPiece& p : placement)
            checker.place(BeamChecker::pad(p.x, p.y), codeOfSlot(p.slot));
        return checker.run().solved;
    }

    // Shuts out every other small winning placement; false when one cannot be shut out.
    bool shutOut(LevelRecord& level, const Placement& solution, const std::function<bool()>& poll,
                 LevelAnalysis& analysis) {
        constexpr int Rounds = 12;
        for (int round = 0; round < Rounds; ++round) {
            AnalysisOptions quick;
            quick.spares = false;
            quick.keepPlacements = 40;
            analysis = analyseLevel(level, quick, poll);
            if (analysis.stopped || !analysis.ok || !analysis.solvable() || analysis.bareWins)
                return false;
            if (analysis.placementCount == 1 && analysis.placements.front() == solution)
                return true;
            BeamChecker intended;
            intended.setBoard(level.Cells);
            for (const PlacedPiece& p : solution)
                intended.place(BeamChecker::pad(p.x, p.y), codeOfSlot(p.slot));
            intended.runMarking();
            for (const Placement& other : analysis.placements) {
                if (other == solution) continue;
                if (!block(level, other, intended)) return false;
            }
        }
        return false;
    }

private:
    // Stars in the frame where no beam of the solution ends, as on the shipped boards. A
    // beam leaving over a star ends like one stopped by the wall, a step later; the proof
    // that follows covers that.
    void decorateFrame(LevelRecord& level, const Placement& solution) {
        BeamChecker run;
        run.setBoard(level.Cells);
        for (const PlacedPiece& p : solution)
            run.place(BeamChecker::pad(p.x, p.y), codeOfSlot(p.slot));
        run.runMarking();
        for (int y = 0; y < BoardHeight; ++y)
            for (int x = 0; x < BoardWidth; ++x) {
                const bool frame = x == 0 || y == 0 || x == BoardWidth - 1 || y == BoardHeight - 1;
                if (frame && level.cell(x, y) == Wall && !run.entered(BeamChecker::pad(x, y)) &&
                    dice_.chance(0.2))
                    level.cell(x, y) = static_cast<int16_t>(Decoration1 + dice_.below(4));
            }
    }

    // Whether, with `code` put on `p`, a grain somewhere off the sources' straight runs
    // changes which beams go on. The checker is left as it was, its run marked again.
    static bool sandMatters(const LevelRecord& level, BeamChecker& checker, int p, int code) {
        checker.place(p, code);
        checker.runMarking();
        std::vector<int> cells;
        const std::vector<int16_t>& order = checker.enteredOrder();
        for (int i = 0; i < static_cast<int>(order.size()); ++i) {
            const int q = order[static_cast<size_t>(i)];
            const int x = BeamChecker::padX(q), y = BeamChecker::padY(q);
            if (inside(x, y) && level.cell(x, y) == Empty && checker.codeAt(q) == Empty)
                cells.push_back(i);
        }
        const bool matters =
            !changingCells(checker, awayFromSources(level, checker, cells), Sand, 1).empty();
        checker.place(p, Empty);
        checker.runMarking();
        return matters;
    }

    // The grain cells (indexes into the entry order) whose neighbours along the beam would
    // not do the same: a grain that could as well stand a cell on or back makes a second
    // solution that no wall can shut out, since the run enters both cells.
    static std::vector<int> placeOfItsOwn(BeamChecker& checker, const std::vector<int>& cells) {
        const std::vector<int16_t> order = checker.enteredOrder();
        const std::vector<uint8_t> dirs = checker.enteredDir();
        auto runWith = [&](int p) {
            checker.place(p, Sand);
            checker.runMarking();
            std::vector<int16_t> entered = checker.enteredOrder();
            checker.place(p, Empty);
            return entered;
        };
        std::vector<int> out;
        for (const int i : cells) {
            const int p = order[static_cast<size_t>(i)];
            const int dir = dirs[static_cast<size_t>(i)];
            const std::vector<int16_t> own = runWith(p);
            bool alone = true;
            for (const int q : {p + stepX(dir) + BeamChecker::PadW * stepY(dir),
                                p - stepX(dir) - BeamChecker::PadW * stepY(dir)}) {
                const int x = BeamChecker::padX(q), y = BeamChecker::padY(q);
                if (inside(x, y) && checker.codeAt(q) == Empty && checker.entered(q) &&
                    runWith(q) == own)
                    alone = false;
                checker.runMarking();
            }
            if (alone) out.push_back(i);
        }
        return out;
    }

    // The candidates (indexes into the entry order) not on a source's straight run, the
    // cells from the source up to the first piece or fixed element.
    static std::vector<int> awayFromSources(const LevelRecord& level, const BeamChecker& checker,
                                            const std::vector<int>& candidates) {
        std::set<int> front;
        for (int y = 0; y < BoardHeight; ++y)
            for (int x = 0; x < BoardWidth; ++x) {
                const int dir = level.cell(x, y);
                if (!isSource(dir)) continue;
                for (int cx = x + stepX(dir), cy = y + stepY(dir); inside(cx, cy);
                     cx += stepX(dir), cy += stepY(dir)) {
                    const int code = checker.codeAt(BeamChecker::pad(cx, cy));
                    if (code != Empty && code != Sand) break;
                    front.insert(BeamChecker::pad(cx, cy));
                }
            }
        std::vector<int> out;
        const std::vector<int16_t>& order = checker.enteredOrder();
        for (const int i : candidates)
            if (!front.count(order[static_cast<size_t>(i)])) out.push_back(i);
        return out;
    }

    // The candidates (indexes into the entry order) where the piece changes which cells
    // the beams enter or how many targets they hit, not only when; the first `most` of them
    // (whether there is one needs only the first).
    static std::vector<int> changingCells(BeamChecker& checker, const std::vector<int>& candidates,
                                          int code, size_t most = SIZE_MAX) {
        const std::vector<int16_t> order = checker.enteredOrder();
        const BeamResult before = checker.runMarking();
        const size_t entered = checker.enteredOrder().size();
        std::vector<int> out;
        for (const int i : candidates) {
            if (out.size() >= most) break;
            const int p = order[static_cast<size_t>(i)];
            checker.place(p, code);
            const BeamResult after = checker.runMarking();
            if (after.hits != before.hits || checker.enteredOrder().size() != entered)
                out.push_back(i);
            checker.place(p, Empty);
        }
        checker.runMarking();
        return out;
    }

    bool block(LevelRecord& level, const Placement& other, const BeamChecker& intended) {
        auto blocker = [&] {
            return options_.style == BoardStyle::Open && dice_.chance(0.5)
                       ? static_cast<int16_t>(Decoration1 + dice_.below(4))
                       : static_cast<int16_t>(Wall);
        };
        std::vector<int> cells;
        for (const PlacedPiece& p : other)
            if (!intended.entered(BeamChecker::pad(p.x, p.y)) && level.cell(p.x, p.y) == Empty)
                cells.push_back(BeamChecker::pad(p.x, p.y));
        if (!cells.empty()) {
            const int p = dice_.pick(cells);
            level.cell(BeamChecker::padX(p), BeamChecker::padY(p)) = blocker();
            return true;
        }
        // Every piece stands where the intended run passes: a wall where only its beams go.
        BeamChecker run;
        run.setBoard(level.Cells);
        for (const PlacedPiece& p : other)
            run.place(BeamChecker::pad(p.x, p.y), codeOfSlot(p.slot));
        run.runMarking();
        for (const int16_t p : run.enteredOrder()) {
            const int x = BeamChecker::padX(p), y = BeamChecker::padY(p);
            if (inside(x, y) && level.cell(x, y) == Empty && run.codeAt(p) == Empty &&
                !intended.entered(p))
                cells.push_back(p);
        }
        if (cells.empty()) return false;
        const int p = dice_.pick(cells);
        level.cell(BeamChecker::padX(p), BeamChecker::padY(p)) = Wall;
        return true;
    }

    const GeneratorOptions& options_;
    Dice& dice_;
};

std::string passwordOf(uint64_t seed) {
    Dice dice(seed ^ 0x9E3779B97F4A7C15ull);
    std::string pw;
    for (int i = 0; i < 6; ++i) pw += static_cast<char>('A' + dice.below(26));
    return pw;
}

}  // namespace

std::pair<int64_t, int64_t> triesFor(Difficulty d) {
    switch (d) {
        case Difficulty::Easy:
            return {1, 40};
        case Difficulty::Middle:
            return {20, 2000};
        case Difficulty::Hard:
            break;
    }
    return {500, DefaultPlayerCap};
}

int piecesFor(Difficulty d) {
    switch (d) {
        case Difficulty::Easy:
            return 2;
        case Difficulty::Middle:
            return 4;
        case Difficulty::Hard:
            break;
    }
    return 6;
}

std::string brokenPromise(const LevelRecord& level, const Placement& solution,
                          const LevelAnalysis& a) {
    if (!a.ok || !a.solvable()) return "keine Lösung im Rahmen des Vorrats";
    if (a.bareWins) return "das leere Brett gewinnt schon";
    if (a.fewest != a.allowance) return "der Vorrat erlaubt mehr Steine als nötig";
    if (a.placementCount != 1)
        return std::to_string(a.placementCount) + " verschiedene minimale Lösungen";
    if (a.placements.front() != sortedPlacement(solution))
        return "die minimale Lösung ist nicht die angegebene";
    if (!a.unusedKinds.empty()) return "eine Art im Vorrat wird nicht gebraucht";
    int stocked = 0;
    for (int s = 1; s <= SlotCount; ++s)
        stocked += std::max<int>(0, level.Stock[static_cast<size_t>(s)]);
    if (stocked != a.allowance) return "der Vorrat hat überzählige Steine";
    if (!a.sparesSearched || a.spareOpened > 0) return "die Reserve öffnet neue Lösungen";
    return {};
}

std::optional<GeneratedLevel> generateLevel(const GeneratorOptions& options,
                                            const std::function<bool()>& poll) {
    Dice dice(options.seed);
    Builder builder(options, dice);
    const auto [least, most] = triesFor(options.difficulty);
    for (int attempt = 1; attempt <= options.attempts; ++attempt) {
        if (poll && poll()) return std::nullopt;
        GeneratedLevel out;
        if (!builder.build(out.record, out.solution)) continue;
        if (!builder.shutOut(out.record, out.solution, poll, out.analysis)) continue;
        // The proof: the full analysis, spares included, of the level as offered.
        out.analysis = analyseLevel(out.record, {}, poll);
        if (out.analysis.stopped || !brokenPromise(out.record, out.solution, out.analysis).empty())
            continue;
        out.player = modelPlayerTries(out.record);
        // A hard level may tire the model player out; an easier one must be won.
        const bool tired = out.player.capped && options.difficulty == Difficulty::Hard;
        if ((!out.player.won && !tired) || out.player.tries < least || out.player.tries > most)
            continue;
        out.record.Name = "Generiert " + std::to_string(options.seed);
        out.record.Password = passwordOf(options.seed);
        out.attempts = attempt;
        return out;
    }
    return std::nullopt;
}

bool shutOutOthers(LevelRecord& level, const Placement& solution, uint64_t seed) {
    GeneratorOptions options;
    options.style = BoardStyle::Open;  // stars as well as walls
    Dice dice(seed);
    Builder builder(options, dice);
    LevelRecord trial = level;
    LevelAnalysis analysis;
    if (!builder.shutOut(trial, sortedPlacement(solution), {}, analysis)) return false;
    level = trial;
    return true;
}

std::optional<std::string> fillWithGenerated(LevelRecord& level, uint64_t seed) {
    GeneratorOptions options;
    options.seed = seed;
    const std::optional<GeneratedLevel> made = generateLevel(options);
    if (!made) return std::nullopt;
    level.Cells = made->record.Cells;
    for (int i = 0; i <= SlotCount; ++i)
        level.Stock[static_cast<size_t>(i)] = made->record.Stock[static_cast<size_t>(i)];
    return "Generiert (Seed " + std::to_string(seed) + "): einzige L\u00f6sung mit " +
           std::to_string(made->solution.size()) + " Steinen";
}

}  // namespace lumor
